// SPDX-License-Identifier: MIT
#include "handwriting.h"

#include "catalogue.h"
#include "fonts.h"

#include <QFile>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QStringList>

#include <cmath>

namespace kelmora::art {

namespace {

const QColor kInk(0x1c, 0x2c, 0x78);
const QColor kPaper(0xfb, 0xf7, 0xea);
constexpr qreal kSlant = 0.2;    // x moves this much per unit of height
constexpr qreal kShake = 0.9;    // largest move of a point off its place, in pixels
constexpr qreal kBow = 1.5;      // largest bend of a straight line, in pixels
constexpr qreal kPenWidth = 3.4; // in pixels of the 80 × 100 picture
constexpr qreal kNibAngle = 0.7; // radians: strokes across it come out widest
constexpr qreal kMargin = 2;     // pixels kept clear around the ink

// A number in [-1, 1] that depends only on seed and index: the same hand on every run.
qreal shake(quint64 seed, int index)
{
    quint64 z = seed * 0x9e3779b97f4a7c15ULL + quint64(index) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    z ^= z >> 31;
    return qreal(z >> 11) / qreal(1ULL << 52) - 1;
}

// Turns the commands of one line into a path, moving every point a little as a hand would.
class StrokeReader
{
public:
    StrokeReader(char32_t character, const QString &where)
        : m_seed(character)
        , m_slant(kSlant + 0.04 * shake(character, -1))
        , m_where(where)
    {}

    QPainterPath read(const QStringList &tokens)
    {
        QPainterPath path;
        for (qsizetype i = 0; i < tokens.size();) {
            const QString command = tokens[i++];
            const int points = command == u"M" || command == u"L" ? 1
                               : command == u"Q"                  ? 2
                               : command == u"C"                  ? 3
                                                                  : 0;
            if (points == 0)
                fail(QStringLiteral("unknown command \"%1\"").arg(command));
            if (command != u"M" && path.elementCount() == 0)
                fail(QStringLiteral("a stroke must start with M"));
            QList<QPointF> at;
            for (int p = 0; p < points; ++p, i += 2)
                at << point(tokens, i);
            if (command == u"M") {
                path.moveTo(at[0]);
            } else if (command == u"L") {
                // No hand draws a straight line: it bends a little one way or the other.
                const QLineF line(path.currentPosition(), at[0]);
                const QPointF bend = line.normalVector().unitVector().translated(-line.p1()).p2();
                path.quadTo(line.center() + bend * kBow * shake(m_seed, ++m_count), at[0]);
            } else if (command == u"Q") {
                path.quadTo(at[0], at[1]);
            } else {
                path.cubicTo(at[0], at[1], at[2]);
            }
        }
        if (path.isEmpty())
            fail(QStringLiteral("no strokes"));
        return path;
    }

private:
    QPointF point(const QStringList &tokens, qsizetype i)
    {
        bool xOk = false;
        bool yOk = false;
        const qreal x = i + 1 < tokens.size() ? tokens[i].toDouble(&xOk) : 0;
        const qreal y = i + 1 < tokens.size() ? tokens[i + 1].toDouble(&yOk) : 0;
        if (!xOk || !yOk)
            fail(QStringLiteral("a command lacks its coordinates"));
        const qreal dx = shake(m_seed, ++m_count) * kShake;
        const qreal dy = shake(m_seed, ++m_count) * kShake;
        return {x + dx + m_slant * (y + dy), -(y + dy)};
    }

    [[noreturn]] void fail(const QString &what) const
    {
        throw ArtError{QStringLiteral("%1: %2").arg(m_where, what)};
    }

    quint64 m_seed;
    qreal m_slant;
    QString m_where;
    int m_count = 0;
};

} // namespace

HandPainter::HandPainter(const QString &strokesPath)
    : CharacterPainter(QStringLiteral(".jpg"))
{
    QFile file(strokesPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw ArtError{QStringLiteral("%1: %2").arg(strokesPath, file.errorString())};
    QHash<QString, QPainterPath> byCharacter;
    int lineNumber = 0;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        ++lineNumber;
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QString where = QStringLiteral("%1:%2").arg(strokesPath).arg(lineNumber);
        QStringList tokens = line.split(u' ', Qt::SkipEmptyParts);
        const QString character = tokens.takeFirst();
        const QList<uint> code = character.toUcs4();
        if (code.size() != 1 || byCharacter.contains(character))
            throw ArtError{
                QStringLiteral("%1: a line starts with a character of its own").arg(where)};
        byCharacter.insert(character, StrokeReader(code[0], where).read(tokens));
    }

    const QRectF room =
        QRectF(QPointF(), kPictureSize).adjusted(kMargin, kMargin, -kMargin, -kMargin);
    QStringList missing;
    for (int row = 1; row <= kelmora::kCharacterRows; ++row) {
        const QPainterPath strokes = byCharacter.value(letter(row));
        const QRectF ink =
            strokes.boundingRect().adjusted(-kPenWidth, -kPenWidth, kPenWidth, kPenWidth);
        if (strokes.isEmpty())
            missing << characterName(letter(row).toUcs4().constFirst());
        else if (ink.width() > room.width() || ink.height() > room.height())
            throw ArtError{
                QStringLiteral("%1: %2 is larger than the picture").arg(strokesPath, letter(row))};
        m_strokes << strokes;
    }
    if (!missing.isEmpty())
        throw ArtError{QStringLiteral("%1 has no strokes for %2")
                           .arg(strokesPath, missing.join(QStringLiteral(", ")))};
}

QImage HandPainter::draw(int row, qreal zoom) const
{
    QImage image(kPictureSize * zoom, QImage::Format_RGB32);
    image.fill(kPaper);
    const QPainterPath &strokes = m_strokes.at(row - 1);
    const QTransform place = centring(strokes.boundingRect(), QRectF(image.rect()).center(), zoom);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // A nib's edge: the width changes with the direction of the stroke.
    for (const QPolygonF &stroke : strokes.toSubpathPolygons(place)) {
        for (qsizetype i = 0; i + 1 < stroke.size(); ++i) {
            const QLineF piece(stroke[i], stroke[i + 1]);
            const qreal across = std::abs(std::sin(piece.angle() * M_PI / 180 - kNibAngle));
            painter.setPen(
                QPen(kInk, kPenWidth * zoom * (0.75 + 0.45 * across), Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(piece);
        }
    }
    return image;
}

} // namespace kelmora::art
