// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

#include <functional>

class QImage;
class QString;

namespace kelmora::art {

// Writes an opaque image as a single-frame, non-interlaced GIF89a with a 256-entry global
// colour table and a graphic control extension without transparency. Images of more than
// 256 colours keep the 256 most frequent ones. Throws ArtError on failure.
void writeGif(const QImage &image, const QString &path);

// Writes image in the format its suffix names (quality as in QImageWriter).
// Throws ArtError on failure.
void writeImage(const QImage &image, const QString &path, int quality = -1);

// Writes draw(1) at path and draw(2), the picture at twice the resolution, beside it as
// name@2x: by writeGif for a ".gif" path, else by writeImage. Throws ArtError on failure.
void writeBothSizes(const std::function<QImage(qreal ratio)> &draw, const QString &path,
                    int quality = -1);

} // namespace kelmora::art
