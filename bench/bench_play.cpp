// SPDX-License-Identifier: MIT
#include "peakmemory.h"
#include "questionplay.h"
#include "random.h"

#include <QApplication>

#include <cstdio>

using namespace kelmora;

// Plays a number of questions in one direction with a seeded source, then prints the peak
// resident size. "bare" shows only an empty window of the typed-name layout's size, for
// comparison. Run twice under callgrind, the difference between two counts of questions
// gives the instructions of a question without the start-up.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    const int questions = argc > 2 ? QByteArray(argv[2]).toInt() : 10;
    if ((mode != "typed" && mode != "pictures" && mode != "bare") || questions < 0) {
        std::fprintf(stderr, "usage: %s typed|pictures|bare [questions]\n", argv[0]);
        return 2;
    }

    std::unique_ptr<QWidget> window;
    if (mode == "bare") {
        window = std::make_unique<QWidget>();
        window->setFixedSize(635, 211);
    } else {
        window = std::make_unique<Form1>(std::make_unique<SeededRandom>(1));
    }
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return 1;

    if (auto *form1 = qobject_cast<Form1 *>(window.get())) {
        BenchDriver form(*form1);
        if (mode == "pictures")
            form.selectPictureChoice();
        for (int i = 0; i < questions; ++i) {
            if (mode == "pictures")
                playPictureQuestion(form, *form1);
            else
                playTypedQuestion(form, *form1);
        }
    }
    std::printf("mode=%s questions=%d vmhwm_kib=%lld\n", mode.constData(), questions,
                static_cast<long long>(peakResidentKib()));
    return 0;
}
