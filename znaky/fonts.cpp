// SPDX-License-Identifier: MIT
#include "fonts.h"

#include <QFontInfo>
#include <QRawFont>
#include <QStringList>

namespace kelmora::art {

QString characterName(char32_t c)
{
    return QStringLiteral("%1 (U+%2)")
        .arg(QString::fromUcs4(&c, 1), QString::number(c, 16).toUpper().rightJustified(4, u'0'));
}

QFont requireFont(QFont font, const QString &text)
{
    font.setStyleStrategy(QFont::NoFontMerging);
    const QString family = font.family();
    const QString found = QFontInfo(font).family();
    if (found.compare(family, Qt::CaseInsensitive) != 0)
        throw ArtError{QStringLiteral("font \"%1\" is not installed (fontconfig offers \"%2\")")
                           .arg(family, found)};

    const QRawFont raw = QRawFont::fromFont(font);
    QStringList missing;
    for (const char32_t c : text.toUcs4()) {
        const QString name = characterName(c);
        if (!raw.supportsCharacter(c) && !missing.contains(name))
            missing << name;
    }
    if (!missing.isEmpty())
        throw ArtError{QStringLiteral("font \"%1\" has no glyph for %2")
                           .arg(family, missing.join(QStringLiteral(", ")))};
    return font;
}

QFont helpFont(int pixels, bool bold, const QString &text)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return requireFont(font, text);
}

QTransform centring(const QRectF &bounds, const QPointF &centre, qreal scale)
{
    QTransform transform;
    transform.translate(centre.x(), centre.y());
    transform.scale(scale, scale);
    transform.translate(-bounds.center().x(), -bounds.center().y());
    return transform;
}

} // namespace kelmora::art
