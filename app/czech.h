#pragma once

class QTranslator;

namespace kelmora {

// Loads Qt's own Czech catalogue, so Qt's dialogs and buttons speak Czech.
bool loadQtCzech(QTranslator &translator);

// What the program sets up before its window: the desktop entry it belongs to and Qt's
// Czech catalogue, which must live as long as the application.
void prepareApplication(QTranslator &qtTranslator);

} // namespace kelmora
