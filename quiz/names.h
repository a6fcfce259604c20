// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <array>

namespace kelmora {

// The five name alternatives of an accepted-names string, in nazvy[1..5].
using Nazvy = std::array<QString, 6>;

// Replaces the Czech letters with diacritics by their plain forms; nothing else changes.
QString orez(const QString &retezec);

// One name per line: every ";" becomes CR LF.
QString rozloz(const QString &retezec);

// Splits "alfa;alpha;;;;" into nazvy[1..5].
Nazvy splitNames(const QString &accepted);

// Whether a typed answer names one of the alternatives; case, Czech diacritics and
// spaces at either end don't matter.
bool isRightAnswer(const QString &typed, const Nazvy &nazvy);

// The five alternatives, each line ended by CR LF.
QString nameLines(const Nazvy &nazvy);

} // namespace kelmora
