#pragma once

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

} // namespace kelmora::art
