// SPDX-License-Identifier: MIT
#include "commandline.h"

#include "czech.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <QTranslator>

#include <cstdio>

namespace kelmora {

CommandLine readCommandLine(int &argc, char *argv[])
{
    // A start from the menu names nothing and pays nothing here.
    if (argc < 2)
        return {};
    // A core application, gone before the window's: --help needs no display. The parser's own
    // words ("Použití", "Neznámá volba") come from Qt's Czech catalogue.
    QTranslator qtTranslator;
    QCoreApplication application(argc, argv);
    if (loadQtCzech(qtTranslator))
        QCoreApplication::installTranslator(&qtTranslator);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Zkoušení řeckých znaků: okno ukáže znak a vy napíšete jeho název,\n"
                       "nebo znak pojmenuje a vy vyberete jeho obrázek."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Vypíše tuto nápovědu."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Vypíše verzi programu."));
    parser.addOptions({help, version});
    parser.addPositionalArgument(
        QStringLiteral("soubor"),
        QStringLiteral("Výběr znaků (.grlist), který se načte jako tlačítkem „Načíst“."),
        QStringLiteral("[soubor]"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    QString mistake;
    if (!parser.parse(QCoreApplication::arguments()))
        mistake = parser.errorText();
    else if (parser.positionalArguments().size() > 1)
        mistake = QStringLiteral("Zadán více než jeden soubor: načíst lze jen jeden výběr znaků.");
    if (!mistake.isEmpty()) {
        err << "kelmora: " << mistake << "\nNápovědu vypíše: kelmora --help\n";
        return {2, {}};
    }
    if (parser.isSet(help)) {
        out << parser.helpText();
        return {0, {}};
    }
    if (parser.isSet(version)) {
        out << "kelmora " KELMORA_VERSION "\n";
        return {0, {}};
    }
    return {std::nullopt, parser.positionalArguments().value(0)};
}

} // namespace kelmora
