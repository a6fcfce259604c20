#include "formdriver.h"
#include "random.h"

#include <QAccessible>

using namespace kelmora;

namespace {

QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

} // namespace

// What assistive tools read from the main window.
class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(showForm(m_form, std::make_unique<SeededRandom>(1))); }

    void cleanup() { m_form.reset(); }

    void names_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        const int button = QAccessible::Button;
        const int label = QAccessible::StaticText;
        QTest::addRow("setup") << "setup"
                               << "Vybrat znaky ke zkoušení" << button;
        QTest::addRow("start") << "start"
                               << "START" << button;
        QTest::addRow("pokracovat") << "pokracovat"
                                    << "Pokračovat" << button;
        QTest::addRow("help") << "help"
                              << "Nápověda" << button;
        QTest::addRow("stopka") << "stopka"
                                << "STOP" << button;
        QTest::addRow("Option10") << "Option10"
                                  << "Psát názvy znaků" << int(QAccessible::RadioButton);
        QTest::addRow("Option21") << "Option21"
                                  << "Psací" << int(QAccessible::RadioButton);
        QTest::addRow("Frame1") << "Frame1"
                                << "Jakým směrem zkoušet ?" << int(QAccessible::Grouping);
        QTest::addRow("zadano") << "zadano"
                                << "Název znaku" << int(QAccessible::EditableText);
        QTest::addRow("obrazek1") << "obrazek1"
                                  << "Obrázek znaku" << label;
        QTest::addRow("enter") << "enter"
                               << "Enter" << button;
        QTest::addRow("zbpopis") << "zbpopis"
                                 << "Zbývá znaků - 51" << label;
        QTest::addRow("popis3") << "popis3"
                                << "C - 0" << label;
        QTest::addRow("cormis") << "cormis"
                                << "0 / 0" << label;
        QTest::addRow("Label1") << "Label1"
                                << "Hodnocení :" << label;
        QTest::addRow("hlppic1") << "hlppic1"
                                 << "Další strana nápovědy" << button;
        QTest::addRow("hlppic2") << "hlppic2"
                                 << "Konec nápovědy" << button;
    }

    void names()
    {
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(int, role);
        QWidget *widget = FormDriver(*m_form).control(control);
        QCOMPARE(accessibleName(widget), name);
        QCOMPARE(int(QAccessible::queryAccessibleInterface(widget)->role()), role);
    }

    void windowIsAWindow()
    {
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(m_form.get());
        QCOMPARE(face->role(), QAccessible::Window);
        QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Zkoušení řeckých znaků"));
    }

    // Selecting an option through its accessible action switches like a click.
    void toggleDirection()
    {
        FormDriver form(*m_form);
        QAccessibleActionInterface *action =
            QAccessible::queryAccessibleInterface(form.control(QStringLiteral("Option13")))
                ->actionInterface();
        action->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(form.boxShown(0));
        QCOMPARE(m_form->frameGeometry().height(), 8145 / 15);
    }

    // The board names its boxes by place, never by the character they show.
    void boardNames()
    {
        FormDriver form(*m_form);
        form.selectPictureChoice();
        form.click(QStringLiteral("start"));
        for (int slot = 0; slot < 21; ++slot) {
            QAccessibleInterface *face = QAccessible::queryAccessibleInterface(form.box(slot));
            QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Obrázek %1").arg(slot + 1));
            QVERIFY(face->text(QAccessible::Description).isEmpty());
        }
    }

    // Pressing a board box through its accessible action answers like a click.
    void pressBoxAction()
    {
        FormDriver form(*m_form);
        form.selectPictureChoice();
        form.click(QStringLiteral("start"));
        const int slot = m_form->rightSlot();
        QAccessibleActionInterface *action =
            QAccessible::queryAccessibleInterface(form.box(slot))->actionInterface();
        QVERIFY(action);
        QCOMPARE(action->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
        action->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(form.caption(QStringLiteral("truefalse")), QStringLiteral("Správně"));
    }

    void labelsFollowTheirText()
    {
        FormDriver form(*m_form);
        form.click(QStringLiteral("start"));
        form.type(QStringLiteral("x"));
        form.pressEnter();
        QCOMPARE(accessibleName(form.control(QStringLiteral("truefalse"))),
                 QStringLiteral("ŠPATNĚ"));
    }

    // Tab walks the window column by column from the top left.
    void tabOrder()
    {
        FormDriver form(*m_form);
        const QStringList expected{QStringLiteral("Option10"), QStringLiteral("Option20"),
                                   QStringLiteral("setup"),    QStringLiteral("start"),
                                   QStringLiteral("zadano"),   QStringLiteral("help")};
        form.control(QStringLiteral("Option10"))->setFocus();
        QStringList seen{QApplication::focusWidget()->objectName()};
        while (seen.size() < expected.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(seen, expected);
    }

private:
    std::unique_ptr<Form1> m_form;
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
