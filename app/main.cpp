#include "czech.h"
#include "form1.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kelmora.Kelmora"));
    QTranslator qtTranslator;
    if (kelmora::loadQtCzech(qtTranslator))
        QApplication::installTranslator(&qtTranslator);
    kelmora::Form1 form;
    form.show();
    return QApplication::exec();
}
