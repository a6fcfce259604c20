#include "czech.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

// Qt's own buttons and dialogs in Czech.
class TestCzech : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(kelmora::loadQtCzech(m_translator), "Qt's Czech catalogue (qtbase_cs) is missing");
        QVERIFY(QCoreApplication::installTranslator(&m_translator));
    }

    void buttons_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("text");
        QTest::addRow("save") << int(QDialogButtonBox::Save) << QStringLiteral("Uložit");
        QTest::addRow("cancel") << int(QDialogButtonBox::Cancel) << QStringLiteral("Zrušit");
        QTest::addRow("open") << int(QDialogButtonBox::Open) << QStringLiteral("Otevřít");
    }

    void buttons()
    {
        QFETCH(int, button);
        QFETCH(QString, text);
        const auto standard = QDialogButtonBox::StandardButton(button);
        QDialogButtonBox box(standard);
        QCOMPARE(box.button(standard)->text().remove(QLatin1Char('&')), text);
    }

private:
    QTranslator m_translator;
};

QTEST_MAIN(TestCzech)
#include "tst_czech.moc"
