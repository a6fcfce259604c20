#include "formdriver.h"
#include "names.h"
#include "random.h"
#include "vyber.h"

using namespace kelmora;

// Time of one question in each direction, through the window's real event handling.
// Run with -median 9 (or more) for a median over repeated runs.
class BenchQuestion : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        vyber().clear();
        m_form = std::make_unique<Form1>(std::make_unique<SeededRandom>(1));
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }

    void cleanup() { m_form.reset(); }

    // One picture-choice question: the judged click and the click that draws the next board.
    void pictureChoice()
    {
        FormDriver form(*m_form);
        form.selectPictureChoice();
        form.click(QStringLiteral("start"));
        QBENCHMARK
        {
            if (form.isShown(QStringLiteral("start")))
                form.click(QStringLiteral("start"));
            form.clickBox(m_form->rightSlot());
            form.clickBox(m_form->rightSlot());
        }
    }

    // One typed answer: the name, Enter for the verdict, Enter for the next character.
    void typedName()
    {
        FormDriver form(*m_form);
        form.click(QStringLiteral("start"));
        QBENCHMARK
        {
            if (form.isShown(QStringLiteral("start")))
                form.click(QStringLiteral("start"));
            form.type(splitNames(m_form->table().names[m_form->shownRow()])[1]);
            form.pressEnter();
            form.pressEnter();
        }
    }

private:
    std::unique_ptr<Form1> m_form;
};

QTEST_MAIN(BenchQuestion)
#include "bench_question.moc"
