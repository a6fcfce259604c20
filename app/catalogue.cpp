// SPDX-License-Identifier: MIT
#include "catalogue.h"

#include <QCoreApplication>
#include <QDir>

namespace kelmora {

namespace {

// Accepted names of the 24 letters, shared by small and capital forms.
constexpr const char *kLetterNames[24] = {
    "alfa;alpha;;;;", "beta;;;;;",      "gama;gamma;;;;", "delta;;;;;",    "epsilon;;;;;",
    "dzéta;zéta;;;;", "éta;;;;;",       "théta;;;;;",     "ióta;jota;;;;", "kappa;kapa;;;;",
    "lambda;;;;;",    "mý;mí;mu;mju;;", "ný;nu;;;;",      "ksí;xi;;;;",    "omikron;omicron;;;;",
    "pí;;;;;",        "ró;rho;;;;",     "sigma;;;;;",     "tau;;;;;",      "ypsilon;upsilon;;;;",
    "fí;phi;;;;",     "chí;;;;;",       "psí;;;;;",       "omega;;;;;",
};

// The variant forms of rows 25..27 and the letter each one belongs to.
constexpr int kVariantOf[3] = {18, 8, 10};

// Grammatical ending of rows 1..27.
constexpr const char *kEndings[kSmallRows] = {
    "á", "á", "á", "á", "ý", "á", "á", "á", "á", "á", "á", "é", "é", "é",
    "ý", "é", "é", "á", "é", "ý", "é", "é", "é", "á", "á", "á", "á",
};

int letterOf(int row)
{
    if (row > kSmallRows)
        return row - kSmallRows;
    if (row > 24)
        return kVariantOf[row - 25];
    return row;
}

} // namespace

void fillCatalogue(Tabznaku &tabznaku, std::array<QString, 28> &koncovky)
{
    for (int row = 1; row <= kCharacterRows; ++row)
        tabznaku.names[row] = QString::fromUtf8(kLetterNames[letterOf(row) - 1]);
    for (int row = 1; row <= kSmallRows; ++row)
        koncovky[row] = QString::fromUtf8(kEndings[row - 1]);
}

QString pictureBaseName(int row)
{
    const bool small = row <= kSmallRows;
    return QStringLiteral("%1%2")
        .arg(small ? QLatin1Char('m') : QLatin1Char('v'))
        .arg(small ? row : row - kSmallRows, 2, 10, QLatin1Char('0'));
}

QString picturePath(int row, const QString &koncovka, const QString &folder)
{
    return QDir::toNativeSeparators(QDir(folder).filePath(pictureBaseName(row) + koncovka));
}

QString defaultPictureFolder()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("znaky"));
}

QString phrase(int row, const std::array<QString, 28> &koncovky)
{
    if (row <= kSmallRows)
        return QStringLiteral("mal") + koncovky[row];
    return QStringLiteral("velk") + koncovky[row - kSmallRows];
}

QString zbyvaCaption(int count)
{
    return QStringLiteral("Zbývá znaků - %1").arg(count);
}

} // namespace kelmora
