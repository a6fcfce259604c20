#include "formdriver.h"
#include "random.h"
#include "vyber.h"

#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>

using namespace kelmora;

// Start-up, the two layouts and the option handlers of the main window.
class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        vyber().clear();
        QVERIFY(showForm(m_form, std::make_unique<SeededRandom>(1), m_pictures.path()));
        m_form->move(100, 100);
    }

    void cleanup() { m_form.reset(); }

    void startUp()
    {
        FormDriver form(*m_form);
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Zkoušení řeckých znaků"));
        QCOMPARE(form.score(),
                 QStringLiteral("A - 0|B - 0|C - 0|D - 0|E - 0|Zbývá znaků - 51|0 / 0"));
        QVERIFY(form.control<QRadioButton>(QStringLiteral("Option10"))->isChecked());
        QVERIFY(form.control<QRadioButton>(QStringLiteral("Option20"))->isChecked());
        QCOMPARE(m_form->frameGeometry().height(), 3165 / 15);
        QCOMPARE(m_form->width(), 635);
        // The three cells that belong to no character are marked at load.
        for (int row = 25; row <= 27; ++row)
            QCOMPARE(vyber().cell(row, 2), QStringLiteral("n"));
        QVERIFY(vyber().cell(1, 1).isEmpty());
    }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("caption");
        QTest::addRow("Frame1") << "Frame1" << QRect(5, 5, 159, 62) << true
                                << "Jakým směrem zkoušet ?";
        QTest::addRow("Option10") << "Option10" << QRect(16, 19, 129, 19) << true
                                  << "Psát názvy znaků";
        QTest::addRow("Option13") << "Option13" << QRect(16, 39, 117, 20) << true
                                  << "Vybírat obrázky";
        QTest::addRow("Frame2") << "Frame2" << QRect(6, 72, 161, 41) << true << "Styl písma";
        QTest::addRow("Option20") << "Option20" << QRect(11, 16, 57, 20) << true << "Tiskací";
        QTest::addRow("Option21") << "Option21" << QRect(95, 16, 57, 20) << true << "Psací";
        QTest::addRow("setup") << "setup" << QRect(5, 117, 158, 38) << true
                               << "Vybrat znaky ke zkoušení";
        QTest::addRow("start") << "start" << QRect(5, 158, 158, 30) << true << "START";
        QTest::addRow("zbpopis") << "zbpopis" << QRect(185, 5, 193, 36) << true
                                 << "Zbývá znaků - 51";
        QTest::addRow("obrazek1") << "obrazek1" << QRect(196, 41, 80, 100) << true
                                  << "Obrázek znaku";
        QTest::addRow("vema") << "vema" << QRect(172, 91, 129, 20) << false << "";
        QTest::addRow("message") << "message" << QRect(284, 42, 129, 75) << true << "";
        QTest::addRow("zadano") << "zadano" << QRect(173, 152, 129, 28) << true << "Název znaku";
        QTest::addRow("enter") << "enter" << QRect(309, 153, 22, 26) << false << "Enter";
        QTest::addRow("truefalse") << "truefalse" << QRect(284, 119, 129, 30) << true << "";
        QTest::addRow("pokracovat")
            << "pokracovat" << QRect(311, 152, 101, 30) << false << "Pokračovat";
        QTest::addRow("Label1") << "Label1" << QRect(405, 7, 95, 18) << true << "Hodnocení :";
        QTest::addRow("popis1") << "popis1" << QRect(421, 23, 75, 19) << true << "A - 0";
        QTest::addRow("popis5") << "popis5" << QRect(423, 99, 75, 19) << true << "E - 0";
        QTest::addRow("Label2") << "Label2" << QRect(440, 132, 127, 18) << true
                                << "správné / chybné";
        QTest::addRow("cormis") << "cormis" << QRect(468, 152, 72, 18) << true << "0 / 0";
        QTest::addRow("help") << "help" << QRect(533, 1, 101, 30) << true << "Nápověda";
        QTest::addRow("stopka") << "stopka" << QRect(533, 35, 101, 30) << false << "STOP";
        QTest::addRow("obrazek0") << "obrazek0" << QRect(25, 191, 81, 105) << false << "Obrázek 1";
        QTest::addRow("obrazek6") << "obrazek6" << QRect(528, 191, 81, 105) << false << "Obrázek 7";
        QTest::addRow("obrazek7") << "obrazek7" << QRect(25, 299, 81, 105) << false << "Obrázek 8";
        QTest::addRow("obrazek20")
            << "obrazek20" << QRect(528, 407, 81, 105) << false << "Obrázek 21";
    }

    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(bool, shown);
        QFETCH(QString, caption);
        FormDriver form(*m_form);
        QWidget *widget = form.control(name);
        QCOMPARE(QRect(widget->mapTo(m_form.get(), QPoint()), widget->size()),
                 widget->parentWidget()->inherits("QGroupBox")
                     ? geometry.translated(widget->parentWidget()->pos())
                     : geometry);
        QCOMPARE(!widget->isHidden(), shown);
        QString shownCaption = widget->accessibleName();
        if (auto *label = qobject_cast<QLabel *>(widget); label && shownCaption.isEmpty())
            shownCaption = label->text();
        else if (auto *frame = qobject_cast<QGroupBox *>(widget))
            shownCaption = frame->title();
        else if (auto *option = qobject_cast<QRadioButton *>(widget))
            shownCaption = option->text();
        QCOMPARE(shownCaption, caption);
    }

    void looks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qreal>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<int>("role");
        const int text = QPalette::WindowText;
        const int button = QPalette::Button;
        QTest::addRow("setup") << "setup" << 9.75 << true << QColor(192, 192, 255) << button;
        QTest::addRow("start") << "start" << 9.75 << true << QColor(192, 255, 192) << button;
        QTest::addRow("pokracovat")
            << "pokracovat" << 9.75 << true << QColor(255, 255, 192) << button;
        QTest::addRow("help") << "help" << 9.75 << true << QColor(192, 255, 255) << button;
        QTest::addRow("stopka") << "stopka" << 9.75 << true << QColor(255, 192, 192) << button;
        QTest::addRow("zbpopis") << "zbpopis" << 13.5 << true << QColor() << text;
        QTest::addRow("vema") << "vema" << 12.0 << true << QColor(0, 0, 0) << text;
        QTest::addRow("truefalse") << "truefalse" << 13.5 << true << QColor(0, 128, 0) << text;
        QTest::addRow("popis1") << "popis1" << 12.0 << true << QColor(0, 128, 0) << text;
        QTest::addRow("popis2") << "popis2" << 12.0 << true << QColor(0, 128, 0) << text;
        QTest::addRow("popis3") << "popis3" << 12.0 << true << QColor(128, 128, 0) << text;
        QTest::addRow("popis4") << "popis4" << 12.0 << true << QColor(128, 128, 0) << text;
        QTest::addRow("popis5") << "popis5" << 12.0 << true << QColor(192, 0, 0) << text;
        QTest::addRow("Label2") << "Label2" << 9.75 << true << QColor(64, 0, 0) << text;
        QTest::addRow("cormis") << "cormis" << 12.0 << true << QColor(64, 0, 0) << text;
        QTest::addRow("zadano") << "zadano" << 12.0 << false << QColor() << text;
        QTest::addRow("Frame1") << "Frame1" << 8.25 << true << QColor() << text;
    }

    void looks()
    {
        QFETCH(QString, name);
        QFETCH(qreal, points);
        QFETCH(bool, bold);
        QFETCH(QColor, colour);
        QFETCH(int, role);
        QWidget *widget = FormDriver(*m_form).control(name);
        QCOMPARE(widget->font().pointSizeF(), points);
        QCOMPARE(widget->font().bold(), bold);
        if (colour.isValid())
            QCOMPARE(widget->palette().color(QPalette::ColorRole(role)), colour);
    }

    void pictureChoiceLayoutAndBack()
    {
        FormDriver form(*m_form);
        const QPoint place = m_form->frameGeometry().topLeft();
        form.selectPictureChoice();
        QCOMPARE(m_form->frameGeometry().height(), 8145 / 15);
        for (int slot = 0; slot < 21; ++slot)
            QVERIFY(form.boxShown(slot));
        QVERIFY(!form.isShown(QStringLiteral("obrazek1")));
        QVERIFY(!form.isShown(QStringLiteral("zadano")));
        QVERIFY(form.isShown(QStringLiteral("vema")));
        QCOMPARE(form.control(QStringLiteral("message"))->pos(), QPoint(172, 112));
        QCOMPARE(form.control(QStringLiteral("truefalse"))->pos(), QPoint(308, 156));

        form.selectTypedNames();
        QCOMPARE(m_form->frameGeometry().height(), 3165 / 15);
        QVERIFY(!form.isShown(QStringLiteral("obrazek0")));
        QVERIFY(form.isShown(QStringLiteral("zadano")));
        QCOMPARE(form.control(QStringLiteral("message"))->pos(), QPoint(284, 42));
        QCOMPARE(form.control(QStringLiteral("truefalse"))->pos(), QPoint(284, 119));
        QCOMPARE(m_form->frameGeometry().topLeft(), place);
    }

    void switchingKeepsTheWindowOnScreen()
    {
        const int screenTwips = m_form->screen()->geometry().height() * 15;
        m_form->move(100, m_form->screen()->geometry().height() - 250);
        FormDriver(*m_form).selectPictureChoice();
        const int expectedTop = (screenTwips - 500 - 8145) / 15;
        QTRY_COMPARE(m_form->frameGeometry().top(), expectedTop);
        QCOMPARE(m_form->frameGeometry().left(), 100);
    }

    void switchingRecountsTheSelection()
    {
        FormDriver form(*m_form);
        for (int row = 1; row <= 27; ++row)
            vyber().setCell(row, 1, QStringLiteral("n"));
        QCOMPARE(form.caption(QStringLiteral("zbpopis")), QStringLiteral("Zbývá znaků - 51"));
        form.selectPictureChoice();
        QCOMPARE(form.caption(QStringLiteral("zbpopis")), QStringLiteral("Zbývá znaků - 24"));
        vyber().setCell(3, 1, QStringLiteral("N"));
        form.selectTypedNames();
        QCOMPARE(form.caption(QStringLiteral("zbpopis")), QStringLiteral("Zbývá znaků - 25"));
    }

    void letteringChoosesTheFiles_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QSize>("size");
        QTest::addRow("Tiskací") << "Option20" << QSize(40, 50);
        QTest::addRow("Psací") << "Option21" << QSize(60, 70);
    }

    void letteringChoosesTheFiles()
    {
        QFETCH(QString, option);
        QFETCH(QSize, size);
        FormDriver form(*m_form);
        for (int row = 2; row <= 27; ++row)
            vyber().setCell(row, 1, QStringLiteral("n"));
        for (int row = 1; row <= 24; ++row)
            vyber().setCell(row, 2, QStringLiteral("n"));
        form.click(QStringLiteral("Option21"));
        form.click(option);
        form.click(QStringLiteral("start"));
        QCOMPARE(m_form->shownRow(), 1);
        QCOMPARE(form.control<QLabel>(QStringLiteral("obrazek1"))->pixmap().size(), size);
    }

    void missingPicturesLeaveEmptyBoxes()
    {
        QVERIFY(showForm(m_form, std::make_unique<SeededRandom>(3),
                         m_pictures.filePath(QStringLiteral("nowhere"))));
        FormDriver form(*m_form);
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("cannot load picture .*nowhere")));
        form.click(QStringLiteral("start"));
        QVERIFY(form.control<QLabel>(QStringLiteral("obrazek1"))->pixmap().isNull());
        QVERIFY(form.isShown(QStringLiteral("stopka")));
    }

    void initTestCase()
    {
        QVERIFY(m_pictures.isValid());
        // Row 1 in two recognisable sizes; every other picture is missing.
        QVERIFY(QImage(40, 50, QImage::Format_RGB32)
                    .save(m_pictures.filePath(QStringLiteral("m01.gif")), "PNG"));
        QVERIFY(QImage(60, 70, QImage::Format_RGB32)
                    .save(m_pictures.filePath(QStringLiteral("m01.jpg")), "PNG"));
    }

private:
    QTemporaryDir m_pictures;
    std::unique_ptr<Form1> m_form;
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
