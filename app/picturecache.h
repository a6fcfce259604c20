#pragma once

#include <QHash>
#include <QPixmap>
#include <QString>

namespace kelmora {

// Character pictures, each decoded on first use and kept. A picture that cannot be
// loaded stays empty and is reported once.
class PictureCache
{
public:
    const QPixmap &picture(const QString &path);

private:
    QHash<QString, QPixmap> m_pixmaps;
};

} // namespace kelmora
