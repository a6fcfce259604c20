// SPDX-License-Identifier: MIT
#include "czech.h"
#include "form1.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char *argv[])
{
    kelmora::useCzechLocale();
    kelmora::dropUtf8SwitchNotice();
    QApplication app(argc, argv);
    QTranslator qtTranslator;
    kelmora::prepareApplication(qtTranslator);
    kelmora::Form1 form;
    form.show();
    return QApplication::exec();
}
