// SPDX-License-Identifier: MIT
#include "picturecache.h"

#include "artwork.h"

#include <QImage>
#include <QtDebug>

#include <cmath>

namespace kelmora {

const QPixmap &PictureCache::picture(const QString &path, qreal ratio)
{
    ratio = std::max(ratio, qreal(1));
    auto it = m_pixmaps.find({path, ratio});
    if (it == m_pixmaps.end()) {
        QImage image;
        if (ratio > 1 && image.load(artwork::doubleSizePath(path))) {
            const QSize pixels(std::lround(image.width() * ratio / 2),
                               std::lround(image.height() * ratio / 2));
            if (pixels != image.size())
                image = image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            image.setDevicePixelRatio(ratio);
        } else if (!image.load(path)) {
            qWarning("Kelmora: cannot load picture %s", qUtf8Printable(path));
        }
        it = m_pixmaps.insert({path, ratio}, QPixmap::fromImage(image));
    }
    return *it;
}

} // namespace kelmora
