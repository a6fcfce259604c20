// SPDX-License-Identifier: MIT
#include "helppage.h"

#include "fonts.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

#include <cmath>

namespace kelmora::art {

namespace {

constexpr int kMargin = 20;
constexpr int kGutter = 24;
constexpr int kTop = 12;
constexpr int kFooter = 44; // the strip at the bottom that holds the caption and arrow
constexpr int kBodyPixels = 12;
constexpr int kHeadingPixels = 14;
constexpr int kTitlePixels = 21;
constexpr int kCaptionPixels = 15;
constexpr int kLineGap = 2; // extra pixels between the lines of a paragraph
constexpr QSize kArrowSize{44, 34};

const QColor kText(0x22, 0x22, 0x22);
const QColor kHeading(0x1f, 0x4e, 0x8c);
const QColor kStrong(0x8b, 0x1a, 0x1a);
const QColor kAccent(0xe0, 0x7a, 0x10);
const QColor kDivider(0xd8, 0xdd, 0xe6);

struct PageText {
    QString title;
    QStringList columns[2];
    QString caption;
};

PageText parse(const QString &text)
{
    PageText page;
    int column = 0;
    for (const QString &line : text.split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u"# ")) {
            page.title = trimmed.mid(2).trimmed();
        } else if (trimmed.startsWith(u">> ")) {
            page.caption = trimmed.mid(3).trimmed();
        } else if (trimmed == u"---") {
            if (column == 1)
                throw ArtError{QStringLiteral("a help page has only two columns")};
            column = 1;
        } else {
            page.columns[column] << trimmed;
        }
    }
    if (page.title.isEmpty() || page.caption.isEmpty())
        throw ArtError{QStringLiteral("a help page needs a \"# title\" and a \">> caption\"")};
    return page;
}

QTextCharFormat charFormat(const QFont &font, const QColor &colour)
{
    QTextCharFormat format;
    format.setFont(font);
    format.setForeground(colour);
    return format;
}

// Lays out the lines of one column as headings, paragraphs and bullet lists.
class ColumnWriter
{
public:
    ColumnWriter(QTextDocument &document, const PictureLookup &pictures, const QString &allText)
        : m_document(document)
        , m_cursor(&document)
        , m_pictures(pictures)
        , m_body(charFormat(helpFont(kBodyPixels, false, allText), kText))
        , m_strong(charFormat(helpFont(kBodyPixels, true, allText), kStrong))
        , m_heading(charFormat(helpFont(kHeadingPixels, true, allText), kHeading))
    {}

    void write(const QStringList &lines)
    {
        QString paragraph;
        for (const QString &line : lines) {
            if (!line.isEmpty() && !line.startsWith(u"## ") && !line.startsWith(u"- ")) {
                paragraph += (paragraph.isEmpty() ? QString() : QStringLiteral(" ")) + line;
                continue;
            }
            writeParagraph(paragraph);
            paragraph.clear();
            if (line.startsWith(u"## "))
                writeHeading(line.mid(3));
            else if (line.startsWith(u"- "))
                writeBullet(line.mid(2));
        }
        writeParagraph(paragraph);
    }

private:
    void writeHeading(const QString &text)
    {
        QTextBlockFormat format;
        format.setTopMargin(m_empty ? 0 : 9);
        format.setBottomMargin(3);
        startBlock(format, m_heading);
        insert(text, m_heading);
        m_list = nullptr;
    }

    void writeParagraph(const QString &text)
    {
        if (text.isEmpty())
            return;
        QTextBlockFormat format;
        format.setBottomMargin(5);
        format.setLineHeight(kLineGap, QTextBlockFormat::LineDistanceHeight);
        startBlock(format, m_body);
        insert(text, m_body);
        m_list = nullptr;
    }

    void writeBullet(const QString &text)
    {
        QTextBlockFormat format;
        format.setBottomMargin(3);
        format.setLineHeight(kLineGap, QTextBlockFormat::LineDistanceHeight);
        QTextCharFormat marker = m_body;
        marker.setForeground(kAccent);
        startBlock(format, marker);
        if (m_list) {
            m_list->add(m_cursor.block());
        } else {
            QTextListFormat list;
            list.setStyle(QTextListFormat::ListDisc);
            list.setIndent(1);
            m_list = m_cursor.createList(list);
        }
        insert(text, m_body);
    }

    void startBlock(const QTextBlockFormat &format, const QTextCharFormat &charFormat)
    {
        if (m_empty) {
            m_cursor.setBlockFormat(format);
            m_cursor.setBlockCharFormat(charFormat);
            m_empty = false;
        } else {
            m_cursor.insertBlock(format, charFormat);
        }
    }

    // Plain text with *bold* words and {pictures}. A one-letter word stays on the line of the
    // word after it, as Czech typesetting wants.
    void insert(const QString &plain, const QTextCharFormat &format)
    {
        static const QRegularExpression oneLetter(
            QStringLiteral(R"((?<![\p{L}\p{N}])([KkSsVvZzOoUuAaIi]) )"));
        static const QRegularExpression markup(QStringLiteral(R"(\*([^*]+)\*|\{([^}]+)\})"));
        const QString text = QString(plain).replace(oneLetter, QStringLiteral("\\1\u00a0"));
        qsizetype done = 0;
        for (const QRegularExpressionMatch &match : markup.globalMatch(text)) {
            m_cursor.insertText(text.mid(done, match.capturedStart() - done), format);
            if (match.hasCaptured(1))
                m_cursor.insertText(match.captured(1), m_strong);
            else
                insertPicture(match.captured(2));
            done = match.capturedEnd();
        }
        m_cursor.insertText(text.mid(done), format);
    }

    void insertPicture(const QString &name)
    {
        const QImage picture = m_pictures(name);
        if (picture.isNull())
            throw ArtError{QStringLiteral("no picture called {%1}").arg(name)};
        const QString key = QStringLiteral("picture:%1").arg(++m_pictureCount);
        m_document.addResource(QTextDocument::ImageResource, QUrl(key), picture);
        QTextImageFormat format;
        format.setName(key);
        format.setWidth(picture.deviceIndependentSize().width());
        format.setHeight(picture.deviceIndependentSize().height());
        format.setVerticalAlignment(QTextCharFormat::AlignMiddle);
        m_cursor.insertImage(format);
    }

    QTextDocument &m_document;
    QTextCursor m_cursor;
    const PictureLookup &m_pictures;
    const QTextCharFormat m_body;
    const QTextCharFormat m_strong;
    const QTextCharFormat m_heading;
    QTextList *m_list = nullptr;
    bool m_empty = true;
    int m_pictureCount = 0;
};

// A curved arrow over to the right, ending in a head that points down.
void drawArrow(QPainter &painter, const QRectF &box)
{
    const QPointF start(box.left() + 2, box.top() + box.height() * 0.75);
    const QPointF end(box.right() - 8, box.bottom() - 8);
    QPainterPath curve(start);
    curve.cubicTo(QPointF(box.left() + box.width() * 0.2, box.top()),
                  QPointF(box.right(), box.top()), end);
    painter.setPen(QPen(kAccent, 3.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(curve);

    const qreal angle = curve.angleAtPercent(1) * M_PI / 180;
    const QPointF along(std::cos(angle), -std::sin(angle));
    const QPointF across(-along.y(), along.x());
    QPainterPath head(end + along * 8);
    head.lineTo(end - along * 3 + across * 7);
    head.lineTo(end - along * 3 - across * 7);
    head.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.fillPath(head, kAccent);
}

} // namespace

QImage drawHelpPage(const QString &text, const PictureLookup &pictures, qreal ratio)
{
    const PageText page = parse(text);
    const int columnWidth = (kHelpPageSize.width() - 2 * kMargin - kGutter) / 2;

    QImage image(kHelpPageSize * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const QFont titleFont = helpFont(kTitlePixels, true, page.title);
    const QFontMetrics titleMetrics(titleFont);
    const QRect titleBox(kMargin, kTop, kHelpPageSize.width() - 2 * kMargin, titleMetrics.height());
    if (titleMetrics.horizontalAdvance(page.title) > titleBox.width())
        throw ArtError{QStringLiteral("the title \"%1\" is wider than the page").arg(page.title)};
    painter.setFont(titleFont);
    painter.setPen(kHeading);
    painter.drawText(titleBox, Qt::AlignLeft | Qt::AlignVCenter, page.title);
    const int ruleTop = titleBox.bottom() + 5;
    painter.fillRect(QRect(kMargin, ruleTop, titleBox.width(), 2), kAccent);

    const int columnsTop = ruleTop + 14;
    const int columnsHeight = kHelpPageSize.height() - kFooter - columnsTop;
    const QString allText = page.columns[0].join(u' ') + page.columns[1].join(u' ');
    for (int i = 0; i < 2; ++i) {
        QTextDocument document;
        document.setDocumentMargin(0);
        document.setIndentWidth(14);
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        document.setDefaultTextOption(option);
        document.setTextWidth(columnWidth);
        ColumnWriter(document, pictures, allText).write(page.columns[i]);
        const QSizeF size = document.size();
        if (size.height() > columnsHeight || size.width() > columnWidth)
            throw ArtError{QStringLiteral("\"%1\": column %2 needs %3 × %4 pixels, the page has "
                                          "room for %5 × %6")
                               .arg(page.title)
                               .arg(i + 1)
                               .arg(std::ceil(size.width()))
                               .arg(std::ceil(size.height()))
                               .arg(columnWidth)
                               .arg(columnsHeight)};
        painter.save();
        painter.translate(kMargin + i * (columnWidth + kGutter), columnsTop);
        // Qt 6.4 draws a list's bullets in the text colour of the paint, not in their block's
        // colour as later versions do; every character here has a colour of its own.
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette.setColor(QPalette::Text, kAccent);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    const qreal dividerX = kMargin + columnWidth + kGutter / 2.0;
    painter.setPen(QPen(kDivider, 1));
    painter.drawLine(QPointF(dividerX, columnsTop), QPointF(dividerX, columnsTop + columnsHeight));

    const QRectF arrowBox(QPointF(kHelpPageSize.width() - kMargin - kArrowSize.width(),
                                  kHelpPageSize.height() - kFooter + 4),
                          kArrowSize);
    const QFont captionFont = helpFont(kCaptionPixels, true, page.caption);
    const QFontMetrics captionMetrics(captionFont);
    const QRectF captionBox(kMargin, arrowBox.top() + 8, arrowBox.left() - 6 - kMargin,
                            captionMetrics.height());
    if (captionMetrics.horizontalAdvance(page.caption) > captionBox.width())
        throw ArtError{
            QStringLiteral("the caption \"%1\" is wider than the page").arg(page.caption)};
    painter.setFont(captionFont);
    painter.setPen(kHeading);
    painter.drawText(captionBox, Qt::AlignRight | Qt::AlignVCenter, page.caption);
    drawArrow(painter, arrowBox);
    return image;
}

} // namespace kelmora::art
