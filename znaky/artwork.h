// SPDX-License-Identifier: MIT
#pragma once

#include <QLatin1String>
#include <QPoint>
#include <QString>

// Pictures compiled into every executable that links kelmora_artwork.
// kelmora-art draws them at build time, each into the file its resource path names.
namespace kelmora::artwork {

inline constexpr QLatin1String kHelpPage1{":/help/strana1.gif"};   // 621 × 509
inline constexpr QLatin1String kHelpPage2{":/help/strana2.gif"};   // 621 × 509
inline constexpr QLatin1String kEnter{":/art/enter.png"};          // 22 × 26
inline constexpr QLatin1String kRuka{":/art/ruka.png"};            // hand cursor, 32 × 32
inline constexpr QLatin1String kKurzor{":/art/kurzor.png"};        // picture cursor, 32 × 32
inline constexpr QLatin1String kIcon{":/art/kelmora.png"};         // 256 × 256
inline constexpr QLatin1String kWindowIcon{":/art/kelmora32.png"}; // 32 × 32, cheap at start-up

// Hot spots of the two cursors, in pixels of their pictures.
inline constexpr QPoint kRukaHotSpot{12, 4};  // tip of the index finger
inline constexpr QPoint kKurzorHotSpot{1, 1}; // tip of the arrow

// The same picture drawn at twice the resolution, for screens of a device pixel ratio above 1:
// "m01.gif" becomes "m01@2x.gif", as QImageReader and QIcon name such files.
inline QString doubleSizePath(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot < 0 ? path + QLatin1String("@2x") : QString(path).insert(dot, QLatin1String("@2x"));
}

} // namespace kelmora::artwork
