// Ten thousand questions in each direction through the window's real event handling, right and
// wrong answers mixed and STOP now and then. Every score is checked against the test's own answer
// key, and the event loop runs after every action, as it would between a user's clicks.
#include "formdriver.h"
#include "names.h"

using namespace kelmora;

class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void tenThousandQuestions_data()
    {
        QTest::addColumn<bool>("pictures");
        QTest::addRow("typed names") << false;
        QTest::addRow("picture choice") << true;
    }

    void tenThousandQuestions()
    {
        QFETCH(bool, pictures);
        vyber().clear();
        std::unique_ptr<Form1> window;
        QVERIFY(showForm(window, pictures ? 202 : 101));
        const FormDriver form(*window);
        SeededRandom choices(pictures ? 203 : 102); // the test's own, apart from the window's
        if (pictures)
            form.click(u"Option13"_s);
        AnswerKey key;
        int runs = 0;
        int questions = 0;
        const auto act = [&](auto action) {
            action();
            QCoreApplication::processEvents();
        };
        for (int question = 0; question < 10000 || !key.marks.isEmpty(); ++question) {
            QVERIFY2(question < 20000, "the last run does not end");
            if (key.marks.isEmpty()) {
                act([&] { form.click(u"start"_s); });
                for (int row = 1; row <= 51; ++row)
                    key.marks[row] = 0;
                key.right = key.wrong = 0;
                ++runs;
            }
            const int row = pictures ? window->soughtRow() : window->shownRow();
            QVERIFY(key.marks.value(row, 1) != 1);
            const bool right = question >= 10000 || choices.pick(4) != 0;
            if (question < 10000 && choices.pick(500) == 0) {
                act([&] { form.click(u"stopka"_s); });
                key.marks.clear();
                QCOMPARE(form.score(), u"A - 0|B - 0|C - 0|D - 0|E - 0|Zbývá znaků - 51|0 / 0"_s);
                continue;
            }
            const int slot = window->rightSlot();
            act([&] {
                if (pictures)
                    return form.clickBox(right ? slot : (slot + 1 + choices.pick(20)) % 21);
                const QString name = splitNames(window->table().names[row])[1];
                form.type(right ? u" %1 "_s.arg(name.toUpper()) : name + QLatin1Char('?'));
                form.pressEnter();
            });
            key.judge(row, right);
            act([&] { pictures ? form.clickBox(slot) : form.pressEnter(); });
            QCOMPARE(form.score(), key.score());
            QCOMPARE(form.caption(u"truefalse"_s) == u"HOTOVO"_s, key.over());
            if (key.over())
                key.marks.clear();
            ++questions;
        }
        QVERIFY(runs > 1);
        qInfo("%d runs, %d answers", runs, questions);
    }
};

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
