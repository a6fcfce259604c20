#include "board.h"
#include "formdriver.h"
#include "names.h"
#include "scriptedrandom.h"
#include "vyber.h"

#include <QLineEdit>
#include <QPushButton>

using namespace kelmora;

namespace {

const QString kHotovo = QStringLiteral("HOTOVO");

// Leaves exactly the given character rows selected.
void selectOnly(const QList<int> &rows)
{
    vyber().clear();
    vyber().markUnusedCells();
    for (int row = 1; row <= 51; ++row) {
        const bool on = rows.contains(row);
        if (row <= 27)
            vyber().setCell(row, 1, on ? QStringLiteral("z") : QStringLiteral("n"));
        else
            vyber().setCell(row - 27, 2, on ? QStringLiteral("z") : QStringLiteral("n"));
    }
}

QList<int> firstRows(int count)
{
    QList<int> rows;
    for (int row = 1; row <= count; ++row)
        rows << row * 51 / count; // spread over small letters, variants and capitals
    return rows;
}

QColor textColour(QWidget *widget)
{
    return widget->palette().color(QPalette::WindowText);
}

} // namespace

// Whole runs in both directions, driven through the real window.
class TestRun : public QObject
{
    Q_OBJECT

private slots:
    void init() { vyber().clear(); }
    void cleanup() { m_form.reset(); }

    void typedRunToHotovo_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("wrongEvery"); // 0: always right
        for (int count : {1, 3, 51}) {
            QTest::addRow("%d, all right", count) << count << 0;
            QTest::addRow("%d, every third wrong", count) << count << 3;
        }
    }

    void typedRunToHotovo()
    {
        QFETCH(int, count);
        QFETCH(int, wrongEvery);
        selectOnly(firstRows(count));
        open(quint64(count * 7 + wrongEvery));
        FormDriver form(*m_form);
        form.click(QStringLiteral("start"));
        QCOMPARE(form.caption(QStringLiteral("zbpopis")),
                 QStringLiteral("Zbývá znaků - %1").arg(count));
        QCOMPARE(QApplication::focusWidget(), form.control(QStringLiteral("zadano")));
        int answers = 0;
        int wrong = 0;
        while (form.caption(QStringLiteral("truefalse")) != kHotovo) {
            QVERIFY2(answers < 5000, "the run does not end");
            const bool right = wrongEvery == 0 || (answers + 1) % wrongEvery != 0;
            QVERIFY(firstRows(count).contains(m_form->shownRow()));
            answerTyped(right);
            QCOMPARE(form.caption(QStringLiteral("truefalse")),
                     right ? QStringLiteral("Správně") : QStringLiteral("ŠPATNĚ"));
            QVERIFY(form.isShown(QStringLiteral("pokracovat")));
            ++answers;
            wrong += !right;
            form.pressEnter(); // continues
            QVERIFY(!form.isShown(QStringLiteral("pokracovat")));
        }
        expectFinished(count, answers - wrong, wrong);
        QVERIFY(form.isShown(QStringLiteral("Option10")) &&
                form.control(QStringLiteral("Option10"))->isEnabled());
        QVERIFY(form.caption(QStringLiteral("message")).isEmpty());
        QVERIFY(form.control<QLabel>(QStringLiteral("obrazek1"))->pixmap().isNull());
        QVERIFY(form.control<QLineEdit>(QStringLiteral("zadano"))->text().isEmpty());
    }

    void pictureRunToHotovo_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("wrongEvery");
        for (int count : {1, 3, 51}) {
            QTest::addRow("%d, all right", count) << count << 0;
            QTest::addRow("%d, every third wrong", count) << count << 3;
        }
    }

    void pictureRunToHotovo()
    {
        QFETCH(int, count);
        QFETCH(int, wrongEvery);
        selectOnly(firstRows(count));
        open(quint64(count * 11 + wrongEvery));
        FormDriver form(*m_form);
        form.selectPictureChoice();
        form.click(QStringLiteral("start"));
        int answers = 0;
        int wrong = 0;
        while (form.caption(QStringLiteral("truefalse")) != kHotovo) {
            QVERIFY2(answers < 5000, "the run does not end");
            const int sought = m_form->soughtRow();
            QVERIFY(firstRows(count).contains(sought));
            QCOMPARE(form.caption(QStringLiteral("message")),
                     rozloz(m_form->table().names[sought]));
            QVERIFY(!form.caption(QStringLiteral("vema")).isEmpty());
            const bool right = wrongEvery == 0 || (answers + 1) % wrongEvery != 0;
            const int slot = m_form->rightSlot();
            form.clickBox(right ? slot : (slot + 1) % kSlots);
            ++answers;
            wrong += !right;
            for (int i = 0; i < kSlots; ++i)
                QCOMPARE(form.boxShown(i), i == slot);
            QCOMPARE(textColour(form.control(QStringLiteral("truefalse"))),
                     right ? QColor(0, 128, 0) : QColor(255, 0, 0));
            form.clickBox(slot);
        }
        expectFinished(count, answers - wrong, wrong);
        for (int i = 0; i < kSlots; ++i) {
            QLabel *box = form.box(i);
            QVERIFY(!box->isHidden());
            QVERIFY(box->pixmap().isNull());
        }
        QVERIFY(form.caption(QStringLiteral("message")).isEmpty());
        QVERIFY(form.caption(QStringLiteral("vema")).isEmpty());
    }

    void oneCharacter_data()
    {
        QTest::addColumn<bool>("firstRight");
        QTest::addColumn<QString>("afterFirst");
        QTest::addRow("right") << true << "A - 0|B - 1|C - 0|D - 0|E - 0|Zbývá znaků - 0|1 / 0";
        QTest::addRow("wrong") << false << "A - 0|B - 0|C - 0|D - 1|E - 0|Zbývá znaků - 0|0 / 1";
    }

    void oneCharacter()
    {
        QFETCH(bool, firstRight);
        QFETCH(QString, afterFirst);
        selectOnly({12});
        open(5);
        FormDriver form(*m_form);
        form.click(QStringLiteral("start"));
        QCOMPARE(m_form->shownRow(), 12);
        answerTyped(firstRight);
        form.click(QStringLiteral("pokracovat"));
        QCOMPARE(form.score(), afterFirst);
        QCOMPARE(form.caption(QStringLiteral("truefalse")) == kHotovo, firstRight);
        QCOMPARE(m_form->table().states[12], firstRight ? 2 : 4);
    }

    // Three right answers leave three B marks, which end the run.
    void runEndsWithMarksB()
    {
        selectOnly({1, 2, 3});
        open(9);
        FormDriver form(*m_form);
        form.click(QStringLiteral("start"));
        QList<int> asked;
        while (form.caption(QStringLiteral("truefalse")) != kHotovo) {
            if (m_form->table().states[m_form->shownRow()] == 0)
                asked << m_form->shownRow();
            answerTyped(true);
            form.pressEnter();
        }
        QCOMPARE(asked.size(), 3);
        QCOMPARE(form.score(),
                 QStringLiteral("A - 0|B - 3|C - 0|D - 0|E - 0|Zbývá znaků - 0|3 / 0"));
    }

    void nothingSelected_data()
    {
        QTest::addColumn<bool>("pictures");
        QTest::addRow("typed names") << false;
        QTest::addRow("picture choice") << true;
    }

    void nothingSelected()
    {
        QFETCH(bool, pictures);
        selectOnly({});
        open(1);
        FormDriver form(*m_form);
        if (pictures)
            form.selectPictureChoice();
        form.click(QStringLiteral("start"));
        QCOMPARE(form.caption(QStringLiteral("truefalse")), kHotovo);
        QVERIFY(form.isShown(QStringLiteral("start")));
        QCOMPARE(form.caption(QStringLiteral("zbpopis")), QStringLiteral("Zbývá znaků - 0"));
    }

    void rightPictureInSlotOneOrTwo_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addRow("slot 1") << 1;
        QTest::addRow("slot 2") << 2;
    }

    // Boxes 1 and 2 tell the first click from the second; the right one may be either.
    void rightPictureInSlotOneOrTwo()
    {
        QFETCH(int, slot);
        selectOnly({30});
        QList<double> script{ScriptedRandom::forPick(29, 51)};
        for (int i = 0; i < kSlots; ++i)
            script << ScriptedRandom::forPick(i, 50);
        script << ScriptedRandom::forPick(slot, 20);
        open(std::make_unique<ScriptedRandom>(script));
        FormDriver form(*m_form);
        form.selectPictureChoice();
        form.click(QStringLiteral("start"));
        QCOMPARE(m_form->soughtRow(), 30);
        QCOMPARE(m_form->rightSlot(), slot);
        form.clickBox(slot);
        QCOMPARE(form.caption(QStringLiteral("truefalse")), QStringLiteral("Správně"));
        QCOMPARE(form.caption(QStringLiteral("cormis")), QStringLiteral("0 / 0"));
        form.clickBox(slot);
        QCOMPARE(form.caption(QStringLiteral("truefalse")), kHotovo);
        QCOMPARE(form.caption(QStringLiteral("cormis")), QStringLiteral("1 / 0"));
    }

    void boardIgnoresClicksWithoutRun()
    {
        open(2);
        FormDriver form(*m_form);
        form.selectPictureChoice();
        const QString before = form.score();
        for (int slot : {0, 1, 2, 20})
            form.clickBox(slot);
        QCOMPARE(form.score(), before);
        QVERIFY(form.caption(QStringLiteral("truefalse")).isEmpty());
        QVERIFY(form.boxShown(1) && form.boxShown(2));
    }

    void typedAnswers_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("right");
        QTest::addColumn<QString>("names"); // listed after a wrong answer
        QTest::addRow("Dzéta") << 6 << "Dzéta" << true << "";
        QTest::addRow("DZÉTA") << 33 << "DZÉTA" << true << "";
        QTest::addRow("dz eta") << 6 << "dz eta" << false << "dzéta\r\nzéta\r\n\r\n\r\n\r\n";
        QTest::addRow("MU") << 39 << "MU" << true << "";
        QTest::addRow("empty") << 12 << "" << false << "mý\r\nmí\r\nmu\r\nmju\r\n\r\n";
    }

    void typedAnswers()
    {
        QFETCH(int, row);
        QFETCH(QString, typed);
        QFETCH(bool, right);
        QFETCH(QString, names);
        selectOnly({row});
        open(4);
        FormDriver form(*m_form);
        form.click(QStringLiteral("start"));
        form.type(typed);
        QCOMPARE(form.isShown(QStringLiteral("enter")), !typed.isEmpty());
        form.pressEnter();
        QCOMPARE(form.caption(QStringLiteral("truefalse")),
                 right ? QStringLiteral("Správně") : QStringLiteral("ŠPATNĚ"));
        QCOMPARE(textColour(form.control(QStringLiteral("truefalse"))),
                 right ? QColor(0, 128, 0) : QColor(255, 0, 0));
        QCOMPARE(form.caption(QStringLiteral("message")), names);
        QCOMPARE(form.control<QLineEdit>(QStringLiteral("zadano"))->text(), typed);
    }

    // A click on the enter image judges the same question again; Enter continues.
    void enterImageJudgesAgain()
    {
        selectOnly({1, 2});
        open(6);
        FormDriver form(*m_form);
        form.click(QStringLiteral("start"));
        const int row = m_form->shownRow();
        form.type(QStringLiteral("x"));
        form.click(QStringLiteral("enter"));
        QCOMPARE(m_form->table().states[row], 4);
        auto *zadano = form.control<QLineEdit>(QStringLiteral("zadano"));
        zadano->clear();
        form.type(splitNames(m_form->table().names[row])[1]);
        form.click(QStringLiteral("enter"));
        QCOMPARE(form.caption(QStringLiteral("truefalse")), QStringLiteral("Správně"));
        QCOMPARE(m_form->table().states[row], 3);
        QCOMPARE(m_form->rightCount(), 1);
        QCOMPARE(m_form->wrongCount(), 1);
        QVERIFY(!form.caption(QStringLiteral("message")).isEmpty());
        form.pressEnter();
        QCOMPARE(form.score(),
                 QStringLiteral("A - 0|B - 0|C - 1|D - 0|E - 0|Zbývá znaků - 1|1 / 1"));
        QVERIFY(!form.isShown(QStringLiteral("pokracovat")));
    }

    // A right verdict at mark A keeps A instead of making the row pending again.
    void markAStaysA()
    {
        selectOnly({5});
        open(6);
        FormDriver form(*m_form);
        form.click(QStringLiteral("start"));
        form.type(QStringLiteral("epsilon"));
        for (int i = 0; i < 3; ++i)
            form.click(QStringLiteral("enter"));
        QCOMPARE(m_form->table().states[5], 1);
        QCOMPARE(m_form->rightCount(), 3);
        form.pressEnter();
        QCOMPARE(form.score(),
                 QStringLiteral("A - 1|B - 0|C - 0|D - 0|E - 0|Zbývá znaků - 0|3 / 0"));
        QCOMPARE(form.caption(QStringLiteral("truefalse")), kHotovo);
    }

    void verdictWithoutCharacter_data()
    {
        QTest::addColumn<bool>("afterPictureRun");
        QTest::addRow("before any question") << false;
        QTest::addRow("after a picture run") << true;
    }

    void verdictWithoutCharacter()
    {
        QFETCH(bool, afterPictureRun);
        selectOnly({2});
        open(8);
        FormDriver form(*m_form);
        if (afterPictureRun) {
            form.selectPictureChoice();
            form.click(QStringLiteral("start"));
            form.click(QStringLiteral("stopka"));
            form.selectTypedNames();
            QCOMPARE(m_form->shownRow(), 52);
        }
        form.type(QStringLiteral("beta"));
        QVERIFY(form.isShown(QStringLiteral("enter")));
        form.pressEnter();
        form.click(QStringLiteral("enter"));
        QVERIFY(form.caption(QStringLiteral("truefalse")).isEmpty());
        QVERIFY(!form.isShown(QStringLiteral("pokracovat")));
        QCOMPARE(m_form->rightCount() + m_form->wrongCount(), 0);
        QCOMPARE(m_form->table().states[2], kPending);
    }

    void stopTyped()
    {
        selectOnly({1, 2, 3, 4, 5});
        open(10);
        FormDriver form(*m_form);
        form.click(QStringLiteral("start"));
        answerTyped(false);
        form.click(QStringLiteral("stopka"));
        QCOMPARE(form.score(),
                 QStringLiteral("A - 0|B - 0|C - 0|D - 0|E - 0|Zbývá znaků - 5|0 / 0"));
        QVERIFY(form.caption(QStringLiteral("truefalse")).isEmpty());
        QVERIFY(form.caption(QStringLiteral("message")).isEmpty());
        QVERIFY(!form.isShown(QStringLiteral("pokracovat")));
        QVERIFY(!form.isShown(QStringLiteral("stopka")));
        QVERIFY(!form.isShown(QStringLiteral("enter")));
        QVERIFY(form.isShown(QStringLiteral("start")) && form.isShown(QStringLiteral("setup")));
        QVERIFY(form.control(QStringLiteral("Option13"))->isEnabled());
        QVERIFY(form.control(QStringLiteral("Option21"))->isEnabled());
        QVERIFY(form.control<QLabel>(QStringLiteral("obrazek1"))->pixmap().isNull());
        // The answer box stays live after a stop.
        form.type(QStringLiteral("a"));
        QVERIFY(form.isShown(QStringLiteral("enter")));
    }

    void stopPictureChoice()
    {
        selectOnly({1, 2, 3});
        open(12);
        FormDriver form(*m_form);
        form.selectPictureChoice();
        form.click(QStringLiteral("start"));
        form.clickBox(m_form->rightSlot());
        form.click(QStringLiteral("stopka"));
        QCOMPARE(form.score(),
                 QStringLiteral("A - 0|B - 0|C - 0|D - 0|E - 0|Zbývá znaků - 3|0 / 0"));
        for (int i = 0; i < kSlots; ++i) {
            QLabel *box = form.box(i);
            QVERIFY(!box->isHidden());
            QVERIFY(box->pixmap().isNull());
        }
        QVERIFY(form.caption(QStringLiteral("vema")).isEmpty());
        form.clickBox(0);
        QVERIFY(form.caption(QStringLiteral("truefalse")).isEmpty());
    }

    // Without pictures the run goes on with empty boxes, each file reported once.
    void missingPictures()
    {
        selectOnly({1, 2});
        QStringList warnings;
        m_warnings = &warnings;
        const auto previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
                if (text.contains(QStringLiteral("cannot load picture")))
                    m_warnings->append(text);
            });
        QVERIFY(showForm(m_form, std::make_unique<SeededRandom>(4),
                         QStringLiteral("/nonexistent/znaky")));
        FormDriver form(*m_form);
        form.selectPictureChoice();
        form.click(QStringLiteral("start"));
        int questions = 0;
        while (form.caption(QStringLiteral("truefalse")) != kHotovo && questions++ < 100) {
            form.clickBox(m_form->rightSlot());
            form.clickBox(m_form->rightSlot());
        }
        qInstallMessageHandler(previous);
        QCOMPARE(form.caption(QStringLiteral("truefalse")), kHotovo);
        QVERIFY(!warnings.isEmpty());
        QCOMPARE(QSet<QString>(warnings.begin(), warnings.end()).size(), warnings.size());
        for (const QString &warning : warnings)
            QVERIFY(warning.contains(QStringLiteral("/nonexistent/znaky/")));
    }

    // Steps: a control's name clicks it, "dclick:" double-clicks it, "right" is the right
    // picture, "type:" types into the answer box, "key:" goes to the focused control and
    // "none" empties the selection behind the window's back. Expected: verdict, whether
    // "Pokračovat" shows, answers counted, the focused control.
    void carelessUser_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        const QString stale = QStringLiteral("start stopka type:x key:Return ");
        QTest::addRow("stale mark, nothing selected")
            << stale + QStringLiteral("none pokracovat") << "HOTOVO|0|0|zadano";
        QTest::addRow("verdict after STOP, typed START")
            << stale + QStringLiteral("start key:Return") << "ŠPATNĚ|1|1|zadano";
        QTest::addRow("verdict after STOP, picture START")
            << stale + QStringLiteral("Option13 start") << "|0|0|obrazek0";
        QTest::addRow("double-click, right picture") << "Option13 start dclick:right"
                                                     << "Správně|0|1|right";
        QTest::addRow("double-click, enter") << "start type:alfa dclick:enter"
                                             << "Správně|1|1|zadano";
        QTest::addRow("keyboard answer") << "Option13 start key:Right key:Space"
                                         << "ŠPATNĚ|0|1|right";
        QTest::addRow("STOP") << "start stopka"
                              << "|0|0|start";
        QTest::addRow("Enter after HOTOVO") << "Option13 start right right key:Return"
                                            << "HOTOVO|0|1|right";
    }

    void carelessUser()
    {
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        selectOnly({1});
        open(3);
        FormDriver form(*m_form);
        const auto target = [&](const QString &name) {
            return name == QLatin1String("right") ? form.box(m_form->rightSlot())
                                                  : form.control(name);
        };
        for (const QString &step : steps.split(QLatin1Char(' '))) {
            if (step.startsWith(QLatin1String("key:"))) {
                QTest::keyClick(QApplication::focusWidget(),
                                QKeySequence::fromString(step.mid(4))[0].key());
            } else if (step == QLatin1String("none")) {
                selectOnly({});
            } else if (step.startsWith(QLatin1String("type:"))) {
                form.control(QStringLiteral("zadano"))->setFocus();
                form.type(step.mid(5));
            } else {
                // A double-click arrives as a click, a double-click event and a release.
                QWidget *widget = target(step.section(QLatin1Char(':'), -1));
                QTest::mouseClick(widget, Qt::LeftButton);
                if (step.startsWith(QLatin1String("dclick:"))) {
                    QTest::mouseDClick(widget, Qt::LeftButton);
                    QTest::mouseRelease(widget, Qt::LeftButton);
                }
            }
        }
        const QString focus = expected.section(QLatin1Char('|'), -1);
        QCOMPARE(QStringList({form.caption(QStringLiteral("truefalse")),
                              QString::number(form.isShown(QStringLiteral("pokracovat"))),
                              QString::number(m_form->rightCount() + m_form->wrongCount()),
                              QApplication::focusWidget() == target(focus)
                                  ? focus
                                  : QApplication::focusWidget()->objectName()})
                     .join(QLatin1Char('|')),
                 expected);
    }

private:
    void open(quint64 seed) { open(std::make_unique<SeededRandom>(seed)); }

    void open(std::unique_ptr<RandomSource> random)
    {
        QVERIFY(showForm(m_form, std::move(random)));
    }

    void answerTyped(bool right)
    {
        FormDriver form(*m_form);
        const Nazvy nazvy = splitNames(m_form->table().names[m_form->shownRow()]);
        form.type(right ? nazvy[1] : QStringLiteral("?"));
        form.pressEnter();
    }

    void expectFinished(int count, int right, int wrong)
    {
        FormDriver form(*m_form);
        QCOMPARE(form.caption(QStringLiteral("truefalse")), kHotovo);
        QVERIFY(form.isShown(QStringLiteral("start")));
        QVERIFY(!form.isShown(QStringLiteral("stopka")));
        QCOMPARE(form.caption(QStringLiteral("cormis")),
                 QStringLiteral("%1 / %2").arg(right).arg(wrong));
        QCOMPARE(m_form->rightCount(), right);
        const Tally tally = recount(m_form->table());
        QCOMPARE(tally.znamka[1] + tally.znamka[2], count);
        QVERIFY(tally.runOver());
        QCOMPARE(form.caption(QStringLiteral("popis1")),
                 QStringLiteral("A - %1").arg(tally.znamka[1]));
        QCOMPARE(form.caption(QStringLiteral("popis2")),
                 QStringLiteral("B - %1").arg(tally.znamka[2]));
    }

    static inline QStringList *m_warnings = nullptr;
    std::unique_ptr<Form1> m_form;
};

QTEST_MAIN(TestRun)
#include "tst_run.moc"
