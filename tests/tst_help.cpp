#include "formdriver.h"
#include "random.h"

#include <QAccessible>
#include <QScreen>

using namespace kelmora;

// The two help pages over the main window, and the window's size and place around them.
class TestHelp : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(showForm(m_form, std::make_unique<SeededRandom>(1))); }

    void cleanup() { m_form.reset(); }

    void openAndClose_data()
    {
        QTest::addColumn<bool>("pictureChoice");
        QTest::addColumn<int>("lowBy"); // pixels below a spot where the tall window fits
        QTest::addRow("short window, high") << false << -100;
        QTest::addRow("short window, low") << false << 150;
        QTest::addRow("tall window, high") << true << -20;
    }

    void openAndClose()
    {
        QFETCH(bool, pictureChoice);
        QFETCH(int, lowBy);
        FormDriver form(*m_form);
        if (pictureChoice)
            form.selectPictureChoice();
        const int screenTwips = m_form->screen()->geometry().height() * 15;
        const int fitTop = (screenTwips - 500 - 8145) / 15;
        m_form->move(30, fitTop + lowBy);
        QTRY_COMPARE(m_form->frameGeometry().top(), fitTop + lowBy);
        const QRect before = m_form->frameGeometry();

        form.click(QStringLiteral("help"));
        auto *page1 = form.control<QLabel>(QStringLiteral("hlppic1"));
        auto *page2 = form.control<QLabel>(QStringLiteral("hlppic2"));
        QVERIFY(!page1->isHidden());
        QVERIFY(page2->isHidden());
        QCOMPARE(page1->geometry(), QRect(0, 1, 634, 525));
        QCOMPARE(page1->pixmap().size(), QSize(621, 509));
        QCOMPARE(m_form->childAt(600, 10), page1); // over the help button
        QCOMPARE(m_form->frameGeometry().height(), 8145 / 15);
        QTRY_COMPARE(m_form->frameGeometry().top(), qMin(before.top(), fitTop));

        form.click(QStringLiteral("hlppic1"));
        QVERIFY(page1->isHidden());
        QVERIFY(!page2->isHidden());
        QCOMPARE(page2->geometry(), QRect(0, 1, 634, 526));
        QCOMPARE(m_form->childAt(600, 10), page2);

        form.click(QStringLiteral("hlppic2"));
        QVERIFY(page2->isHidden());
        QTRY_COMPARE(m_form->frameGeometry(), before);
    }

    void alwaysStartsAtPageOne()
    {
        FormDriver form(*m_form);
        for (int round = 0; round < 2; ++round) {
            form.click(QStringLiteral("help"));
            QVERIFY(form.isShown(QStringLiteral("hlppic1")));
            form.click(QStringLiteral("hlppic1"));
            form.click(QStringLiteral("hlppic2"));
            QVERIFY(!form.isShown(QStringLiteral("hlppic1")));
            QVERIFY(!form.isShown(QStringLiteral("hlppic2")));
        }
    }

    void keyboardTurnsThePages()
    {
        FormDriver form(*m_form);
        form.control(QStringLiteral("help"))->setFocus();
        QTest::keyClick(form.control(QStringLiteral("help")), Qt::Key_Space);
        QVERIFY(form.isShown(QStringLiteral("hlppic1")));
        QTest::keyClick(form.control(QStringLiteral("hlppic1")), Qt::Key_Return);
        QVERIFY(form.isShown(QStringLiteral("hlppic2")));
        QTest::keyClick(form.control(QStringLiteral("hlppic2")), Qt::Key_Space);
        QVERIFY(!form.isShown(QStringLiteral("hlppic2")));
        QCOMPARE(m_form->frameGeometry().height(), 3165 / 15);
    }

    // Help leaves a run as it was.
    void runUnderHelp()
    {
        FormDriver form(*m_form);
        form.click(QStringLiteral("start"));
        const int row = m_form->shownRow();
        const QString score = form.score();
        form.click(QStringLiteral("help"));
        form.click(QStringLiteral("hlppic1"));
        form.click(QStringLiteral("hlppic2"));
        QCOMPARE(m_form->shownRow(), row);
        QCOMPARE(form.score(), score);
        QVERIFY(form.isShown(QStringLiteral("stopka")));
    }

    void coveredByHelp_data()
    {
        QTest::addColumn<QString>("focused");
        QTest::addColumn<QString>("poke"); // Tab, or a control pressed by an assistive tool
        QTest::addRow("Tab from the answer box") << "zadano"
                                                 << "Tab";
        QTest::addRow("help pressed again") << "Option10"
                                            << "help";
        QTest::addRow("START pressed") << "zadano"
                                       << "start";
    }

    // Nothing under a page takes focus or acts; closing help gives the focus back.
    void coveredByHelp()
    {
        QFETCH(QString, focused);
        QFETCH(QString, poke);
        FormDriver form(*m_form);
        form.control(focused)->setFocus();
        form.click(QStringLiteral("help"));
        for (int i = 0; i < 3 && poke == QLatin1String("Tab"); ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (poke != QLatin1String("Tab")) {
            QAccessibleInterface *covered =
                QAccessible::queryAccessibleInterface(form.control(poke));
            covered->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        }
        QCOMPARE(QApplication::focusWidget(), form.control(QStringLiteral("hlppic1")));
        QVERIFY(form.isShown(QStringLiteral("start")));
        form.click(QStringLiteral("hlppic1"));
        form.click(QStringLiteral("hlppic2"));
        QCOMPARE(m_form->frameGeometry().height(), 3165 / 15);
        QCOMPARE(QApplication::focusWidget(), form.control(focused));
    }

private:
    std::unique_ptr<Form1> m_form;
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
