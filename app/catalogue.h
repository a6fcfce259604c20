// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <array>

namespace kelmora {

// Character rows: 1..24 small letters, 25..27 the variant small forms
// (final sigma, théta, kappa), 28..51 capitals; row r + 27 is the capital of row r.
constexpr int kCharacterRows = 51;
constexpr int kSmallRows = 27;
constexpr int kTableRows = 61; // rows 0..60 of tabznaku and pozice

// Run state of a row: 0 pending, 1..5 marks A..E, 99 not in the run.
constexpr qint16 kPending = 0;
constexpr qint16 kNotInRun = 99;

// The main window's character table: column 1 the accepted-names strings,
// column 2 the run states.
struct Tabznaku {
    std::array<QString, kTableRows> names;
    std::array<qint16, kTableRows> states{};
};

// Fills column 1 of rows 1..51 and koncovky rows 1..27.
void fillCatalogue(Tabznaku &tabznaku, std::array<QString, 28> &koncovky);

// "m01".."m27" for rows 1..27, "v01".."v24" for rows 28..51.
QString pictureBaseName(int row);

// Full path of a row's picture: <folder>/<base name><koncovka>, native separators.
QString picturePath(int row, const QString &koncovka, const QString &folder);

// The folder znaky/ beside the executable.
QString defaultPictureFolder();

// "malá", "velké" …: the case phrase of a row.
QString phrase(int row, const std::array<QString, 28> &koncovky);

// Caption of zbpopis: "Zbývá znaků - 51".
QString zbyvaCaption(int count);

} // namespace kelmora
