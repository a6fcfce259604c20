#include "czech.h"
#include "firstpaint.h"

#include <QLabel>
#include <QTranslator>

// The same start-up with an empty window of the typed-name layout's client size. With the
// argument "label" the window shows one line of text, so the font system starts as it must
// for any window with text: the floor under the program's own start-up.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTranslator qtTranslator;
    kelmora::prepareApplication(qtTranslator);
    QWidget window;
    window.setFixedSize(635, 211);
    if (argc > 1 && qstrcmp(argv[1], "label") == 0)
        (new QLabel(QStringLiteral("Zkoušení řeckých znaků"), &window))->move(10, 10);
    return showUntilFirstPaint(window);
}
