// SPDX-License-Identifier: MIT
#include "questionplay.h"
#include "random.h"

using namespace kelmora;

// Time of one question in each direction, through the window's real event handling.
// Run with -median 9 -iterations 1000 for a steady median: the wall-time clock counts whole
// milliseconds.
class BenchQuestion : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(showForm(m_form, std::make_unique<SeededRandom>(1))); }

    void cleanup() { m_form.reset(); }

    // One picture-choice question: the judged click and the click that draws the next board.
    void pictureChoice()
    {
        BenchDriver form(*m_form);
        form.selectPictureChoice();
        form.click(QStringLiteral("start"));
        QBENCHMARK
        {
            playPictureQuestion(form, *m_form);
        }
    }

    // One typed answer: the name, Enter for the verdict, Enter for the next character.
    void typedName()
    {
        BenchDriver form(*m_form);
        form.click(QStringLiteral("start"));
        QBENCHMARK
        {
            playTypedQuestion(form, *m_form);
        }
    }

private:
    std::unique_ptr<Form1> m_form;
};

QTEST_MAIN(BenchQuestion)
#include "bench_question.moc"
