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

// What the program sets up before its window, once the application exists: the desktop entry
// it belongs to, its own look, no stored settings, UTF-8 text for the C library and Qt's Czech
// catalogue, which must live as long as the application.
void prepareApplication(QTranslator &qtTranslator);

} // namespace kelmora
