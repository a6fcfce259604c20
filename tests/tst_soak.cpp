#include "board.h"
#include "formdriver.h"
#include "grading.h"
#include "names.h"
#include "random.h"
#include "vyber.h"

using namespace kelmora;

namespace {

const QString kHotovo = QStringLiteral("HOTOVO");
constexpr int kQuestions = 10000;
constexpr int kStopOneIn = 1000; // before each answer and again after each verdict
constexpr int kRunLimit = 5000;  // questions; a longer run is taken for one that never ends

// The score labels as a recount of the run states and the verdicts given since the run began.
QString expectedScore(const Tally &tally, int right, int wrong)
{
    QStringList parts;
    for (int mark = 1; mark <= 5; ++mark)
        parts << QStringLiteral("%1 - %2").arg(QChar(u'A' + mark - 1)).arg(tally.znamka[mark]);
    parts << zbyvaCaption(tally.zbyva) << QStringLiteral("%1 / %2").arg(right).arg(wrong);
    return parts.join(QLatin1Char('|'));
}

} // namespace

// Long play in both directions through the window's real event handling, right and wrong
// answers mixed and STOP now and then, with the score checked after every question. The
// event loop runs after every action, as it would between a user's clicks, so repaints and
// deferred work happen in every state the run passes through.
class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void init() { vyber().clear(); }

    void tenThousandQuestions_data()
    {
        QTest::addColumn<bool>("pictures");
        QTest::addColumn<quint64>("seed");
        QTest::addRow("typed names") << false << quint64(101);
        QTest::addRow("picture choice") << true << quint64(202);
    }

    void tenThousandQuestions()
    {
        QFETCH(bool, pictures);
        QFETCH(quint64, seed);
        m_form = std::make_unique<Form1>(std::make_unique<SeededRandom>(seed));
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        m_driver = std::make_unique<FormDriver>(*m_form);
        m_choices = std::make_unique<SeededRandom>(seed + 1);
        if (pictures)
            m_driver->selectPictureChoice();

        for (int question = 0; question < kQuestions; ++question) {
            playQuestion(pictures, m_choices->pick(4) != 0);
            if (QTest::currentTestFailed())
                return;
        }
        // The last run goes on to its end with right answers.
        while (m_runOn) {
            playQuestion(pictures, true);
            if (QTest::currentTestFailed())
                return;
        }
        QVERIFY(m_runs > 0);
        QCOMPARE(m_finished + m_stopped, m_runs);
        qInfo("%d runs: %d to HOTOVO, %d stopped", m_runs, m_finished, m_stopped);
    }

    void cleanup()
    {
        m_driver.reset();
        m_form.reset();
        m_runs = m_finished = m_stopped = m_right = m_wrong = m_runQuestions = 0;
        m_runOn = false;
    }

private:
    void playQuestion(bool pictures, bool right)
    {
        const FormDriver &form = *m_driver;
        if (!m_runOn) {
            form.click(QStringLiteral("start"));
            QCoreApplication::processEvents();
            ++m_runs;
            m_runOn = true;
            m_right = m_wrong = m_runQuestions = 0;
        }
        QVERIFY2(++m_runQuestions < kRunLimit, "the run does not end");
        const int row = pictures ? m_form->soughtRow() : m_form->shownRow();
        QVERIFY2(isEligible(m_form->table().states[row]), qPrintable(QString::number(row)));
        if (stopNow())
            return stopRun();

        if (pictures) {
            const int slot = m_form->rightSlot();
            form.clickBox(right ? slot : (slot + 1 + m_choices->pick(kSlots - 1)) % kSlots);
        } else {
            form.type(typedAnswer(row, right));
            form.pressEnter();
        }
        QCoreApplication::processEvents();
        (right ? m_right : m_wrong)++;
        QCOMPARE(form.caption(QStringLiteral("truefalse")),
                 right ? QStringLiteral("Správně") : QStringLiteral("ŠPATNĚ"));
        if (stopNow())
            return stopRun();

        // The labels follow the run states only once the user moves on.
        if (pictures)
            form.clickBox(m_form->rightSlot());
        else
            form.pressEnter();
        QCoreApplication::processEvents();
        const Tally tally = recount(m_form->table());
        QCOMPARE(form.score(), expectedScore(tally, m_right, m_wrong));
        QCOMPARE(form.caption(QStringLiteral("truefalse")) == kHotovo, tally.runOver());
        if (tally.runOver())
            endOfRun();
    }

    void endOfRun()
    {
        QVERIFY(m_driver->isShown(QStringLiteral("start")));
        QVERIFY(!m_driver->isShown(QStringLiteral("stopka")));
        ++m_finished;
        m_runOn = false;
    }

    bool stopNow() { return m_choices->pick(kStopOneIn) == 0; }

    void stopRun()
    {
        const FormDriver &form = *m_driver;
        form.click(QStringLiteral("stopka"));
        QCoreApplication::processEvents();
        const Tally tally = recount(m_form->table());
        QCOMPARE(tally.zbyva, quint8(kCharacterRows));
        QCOMPARE(form.score(), expectedScore(tally, 0, 0));
        QVERIFY(form.caption(QStringLiteral("truefalse")).isEmpty());
        QVERIFY(form.isShown(QStringLiteral("start")));
        ++m_stopped;
        m_runOn = false;
    }

    // A right answer is any accepted name, in any case, maybe with spaces around it; a
    // wrong one is empty, a stray character or a name with one character too many.
    QString typedAnswer(int row, bool right)
    {
        const Nazvy nazvy = splitNames(m_form->table().names[row]);
        QStringList names;
        for (int i = 1; i <= 5; ++i) {
            if (!nazvy[i].isEmpty())
                names << nazvy[i];
        }
        const QString name = names[m_choices->pick(int(names.size()))];
        switch (m_choices->pick(3)) {
        case 0: return right ? name : QString();
        case 1: return right ? name.toUpper() : QStringLiteral("?");
        default: return right ? QStringLiteral("  %1 ").arg(name) : name + QLatin1Char('?');
        }
    }

    std::unique_ptr<Form1> m_form;
    std::unique_ptr<FormDriver> m_driver;
    std::unique_ptr<SeededRandom> m_choices; // the test's own choices, apart from the window's
    bool m_runOn = false;
    int m_runs = 0;
    int m_finished = 0;
    int m_stopped = 0;
    int m_right = 0;
    int m_wrong = 0;
    int m_runQuestions = 0;
};

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
