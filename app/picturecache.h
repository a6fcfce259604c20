// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QPixmap>
#include <QString>

#include <utility>

namespace kelmora {

// Pictures, each decoded on first use and kept. A picture that cannot be loaded stays empty
// and is reported once.
class PictureCache
{
public:
    // The picture at path for a widget of device pixel ratio ratio. Above 1 the file drawn at
    // twice the size (name@2x) is used, brought to exactly ratio pixels a logical pixel so that
    // it is shown pixel for pixel; without that file, the picture itself.
    const QPixmap &picture(const QString &path, qreal ratio = 1);

private:
    QHash<std::pair<QString, qreal>, QPixmap> m_pixmaps;
};

} // namespace kelmora
