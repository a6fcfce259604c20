// SPDX-License-Identifier: MIT
#include "firstpaint.h"

#include <QLabel>

// A plain Qt window of the typed-name layout's client size, the yardstick for Kelmora's
// start-up. With the argument "label" it shows one line of text, so the font system starts as
// it must for any window with text.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(635, 211);
    if (argc > 1 && qstrcmp(argv[1], "label") == 0)
        (new QLabel(QStringLiteral("Zkoušení řeckých znaků"), &window))->move(10, 10);
    return showUntilFirstPaint(window);
}
