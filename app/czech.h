// SPDX-License-Identifier: MIT
#pragma once

class QTranslator;

namespace kelmora {

// Loads Qt's own Czech catalogue, so Qt's dialogs and buttons speak Czech.
bool loadQtCzech(QTranslator &translator);

// Dates, numbers and sizes in Czech whatever the system's language. Qt reads the system
// locale, which its file dialog formats with, from the environment as the application
// starts, so this comes before QApplication.
void useCzechLocale();

// What the program sets up before its window: the desktop entry it belongs to, its own
// look and Qt's Czech catalogue, which must live as long as the application.
void prepareApplication(QTranslator &qtTranslator);

} // namespace kelmora
