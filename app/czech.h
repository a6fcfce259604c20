#pragma once

class QTranslator;

namespace kelmora {

// Loads Qt's own Czech catalogue, so Qt's dialogs and buttons speak Czech.
bool loadQtCzech(QTranslator &translator);

} // namespace kelmora
