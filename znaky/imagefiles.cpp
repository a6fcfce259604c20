// SPDX-License-Identifier: MIT
#include "imagefiles.h"

#include "artwork.h"
#include "fonts.h"

#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QImageWriter>
#include <QList>
#include <QSaveFile>

#include <gif_lib.h>

#include <algorithm>
#include <memory>
#include <utility>

namespace kelmora::art {

namespace {

constexpr int kPaletteSize = 256;

// Most frequent colours first; ties by value so that every build gets the same table.
QList<QRgb> commonColours(const QImage &image)
{
    QHash<QRgb, qsizetype> counts;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            ++counts[line[x]];
    }
    QList<std::pair<QRgb, qsizetype>> byCount(counts.keyValueBegin(), counts.keyValueEnd());
    std::sort(byCount.begin(), byCount.end(), [](const auto &a, const auto &b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    QList<QRgb> colours;
    for (qsizetype i = 0; i < std::min<qsizetype>(byCount.size(), kPaletteSize); ++i)
        colours << byCount[i].first;
    return colours;
}

QString gifError(const QString &path, int code)
{
    return QStringLiteral("%1: %2").arg(path, QString::fromUtf8(GifErrorString(code)));
}

int writeToDevice(GifFileType *gif, const GifByteType *data, int length)
{
    auto *out = static_cast<QSaveFile *>(gif->UserData);
    return int(out->write(reinterpret_cast<const char *>(data), length));
}

void openForWriting(QSaveFile &file)
{
    if (!file.open(QIODevice::WriteOnly))
        throw ArtError{QStringLiteral("%1: %2").arg(file.fileName(), file.errorString())};
}

void commit(QSaveFile &file)
{
    if (!file.commit())
        throw ArtError{QStringLiteral("%1: %2").arg(file.fileName(), file.errorString())};
}

} // namespace

void writeGif(const QImage &image, const QString &path)
{
    const QImage opaque = image.convertToFormat(QImage::Format_RGB32);
    const QImage indexed = opaque.convertToFormat(QImage::Format_Indexed8, commonColours(opaque));

    std::unique_ptr<ColorMapObject, void (*)(ColorMapObject *)> map(
        GifMakeMapObject(kPaletteSize, nullptr), GifFreeMapObject);
    const QList<QRgb> table = indexed.colorTable();
    for (int i = 0; i < kPaletteSize; ++i) {
        const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
        map->Colors[i] =
            GifColorType{GifByteType(qRed(c)), GifByteType(qGreen(c)), GifByteType(qBlue(c))};
    }

    QSaveFile file(path);
    openForWriting(file);
    int error = 0;
    GifFileType *gif = EGifOpen(&file, writeToDevice, &error);
    if (!gif)
        throw ArtError{gifError(path, error)};
    EGifSetGifVersion(gif, true);

    GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);

    bool ok =
        EGifPutScreenDesc(gif, indexed.width(), indexed.height(), 8, 0, map.get()) == GIF_OK &&
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, sizeof extension, extension) == GIF_OK &&
        EGifPutImageDesc(gif, 0, 0, indexed.width(), indexed.height(), false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < indexed.height(); ++y)
        ok = EGifPutLine(gif, const_cast<GifPixelType *>(indexed.constScanLine(y)),
                         indexed.width()) == GIF_OK;
    const int putError = ok ? 0 : gif->Error;
    const bool closed = EGifCloseFile(gif, &error) == GIF_OK;
    if (!ok || !closed)
        throw ArtError{gifError(path, ok ? error : putError)};
    commit(file);
}

void writeImage(const QImage &image, const QString &path, int quality)
{
    QSaveFile file(path);
    openForWriting(file);
    QImageWriter writer(&file, QFileInfo(path).suffix().toLatin1());
    writer.setQuality(quality);
    if (!writer.write(image))
        throw ArtError{QStringLiteral("%1: %2").arg(path, writer.errorString())};
    commit(file);
}

void writeBothSizes(const std::function<QImage(qreal ratio)> &draw, const QString &path,
                    int quality)
{
    for (const qreal ratio : {1, 2}) {
        const QString file = ratio == 1 ? path : artwork::doubleSizePath(path);
        if (path.endsWith(u".gif"))
            writeGif(draw(ratio), file);
        else
            writeImage(draw(ratio), file, quality);
    }
}

} // namespace kelmora::art
