// SPDX-License-Identifier: MIT
#include "czech.h"
#include "firstpaint.h"
#include "form1.h"

#include <QTranslator>

// app/main.cpp up to the first frame of the main window.
int main(int argc, char *argv[])
{
    kelmora::useCzechLocale();
    kelmora::dropUtf8SwitchNotice();
    QApplication app(argc, argv);
    QTranslator qtTranslator;
    kelmora::prepareApplication(qtTranslator);
    kelmora::Form1 form;
    return showUntilFirstPaint(form);
}
