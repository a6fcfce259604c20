#include "picturecache.h"

#include <QtDebug>

namespace kelmora {

const QPixmap &PictureCache::picture(const QString &path)
{
    auto it = m_pixmaps.find(path);
    if (it == m_pixmaps.end()) {
        QPixmap pixmap;
        if (!pixmap.load(path))
            qWarning("Kelmora: cannot load picture %s", qUtf8Printable(path));
        it = m_pixmaps.insert(path, pixmap);
    }
    return *it;
}

} // namespace kelmora
