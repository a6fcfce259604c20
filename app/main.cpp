// SPDX-License-Identifier: MIT
#include "commandline.h"
#include "czech.h"
#include "form1.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char *argv[])
{
    kelmora::useCzechLocale();
    kelmora::dropUtf8SwitchNotice();
    const kelmora::CommandLine commandLine = kelmora::readCommandLine(argc, argv);
    if (commandLine.exitStatus)
        return *commandLine.exitStatus;
    QApplication app(argc, argv);
    QTranslator qtTranslator;
    kelmora::prepareApplication(qtTranslator);
    kelmora::Form1 form;
    form.show();
    if (!commandLine.listFile.isEmpty())
        form.loadList(commandLine.listFile);
    return QApplication::exec();
}
