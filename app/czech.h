// SPDX-License-Identifier: MIT
#pragma once

class QFileDialog;
class QTranslator;

namespace kelmora {

// Loads Qt's own Czech catalogue, so Qt's dialogs and buttons speak Czech.
bool loadQtCzech(QTranslator &translator);

// Numbers and dates that Qt formats for the program in Czech, whatever the system's language.
void useCzechLocale();

// Sizes and dates of a file dialog in Czech too: Qt writes them in the language the user's
// environment names, and holds the Czech forms itself.
void showCzechFileDetails(QFileDialog &dialog);

// Qt 6.8 itself switches a character set other than UTF-8 to C.UTF-8, as Kelmora wants, and
// says so in four lines on every start; before the application exists, this keeps that notice,
// and only that one, off the terminal.
void dropUtf8SwitchNotice();

// What the program sets up before its window, once the application exists: the desktop entry
// it belongs to, its own look, no stored settings, UTF-8 text for the C library and Qt's Czech
// catalogue, which must live as long as the application.
void prepareApplication(QTranslator &qtTranslator);

} // namespace kelmora
