#include "QtCellCanvas.h"

#include "platform/core/UnicodeText.h"
#include "platform/gui/Cp1252.h"
#include "platform/gui/ListText.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>

namespace quorvex {

namespace {

QColor qColor(ColorRef c)
{
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

QRect qRect(PixelRect r)
{
    return QRect(r.left, r.top, r.width, r.height);
}

} // namespace

QtCellCanvas::Advances QtCellCanvas::advancesOf(const QFont &font)
{
    Advances out{};
    const QFontMetricsF metrics(font);
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        const QString ch = Cp1252::toUnicode(std::string_view(&byte, 1));
        out[static_cast<std::size_t>(b)] = static_cast<float>(metrics.horizontalAdvance(ch));
    }
    return out;
}

QtCellCanvas::QtCellCanvas(QPainter &painter, const QFont &font, const Advances &advances, TextEncoding encoding,
                           WideAdvances *wide)
    : m_painter(painter), m_font(font), m_italic(font), m_advances(advances),
      m_encoding(wide ? encoding : TextEncoding::Windows1252), m_wide(wide)
{
    m_italic.setItalic(true);
    m_ascent = QFontMetrics(m_font).ascent();
    m_italicAscent = QFontMetrics(m_italic).ascent();
}

void QtCellCanvas::fillRect(PixelRect rect, ColorRef color)
{
    if (rect.width > 0 && rect.height > 0)
        m_painter.fillRect(qRect(rect), qColor(color));
}

void QtCellCanvas::drawPicture(int x, int y, const RasterImage &picture, PixelRect source, bool keyed)
{
    if (picture.empty() || source.width <= 0 || source.height <= 0)
        return;
    // The pixels already are the toolkit's layout: wrap them without a copy.
    const QImage image(reinterpret_cast<const uchar *>(picture.pixels.data()), picture.width, picture.height,
                       picture.width * 4, keyed ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    m_painter.drawImage(QPoint(x, y), image, qRect(source));
}

std::size_t QtCellCanvas::shownBytes(std::string_view text, float room) const
{
    float used = 0;
    std::size_t n = 0;
    std::size_t extra = 2;
    while (n < text.size()) {
        used += m_advances[static_cast<unsigned char>(text[n])];
        ++n;
        if (used > room && extra-- == 0)
            break;
    }
    return n;
}

float QtCellCanvas::wideAdvance(char32_t cp) const
{
    const auto it = m_wide->find(cp);
    if (it != m_wide->end())
        return it->second;
    std::string utf8;
    UnicodeText::append(utf8, cp);
    // The width of the font that really draws it: Qt falls back to another
    // font for characters this one has no glyph for.
    const QString ch = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    const auto w = static_cast<float>(QFontMetricsF(m_font).horizontalAdvance(ch));
    m_wide->emplace(cp, w);
    return w;
}

std::size_t QtCellCanvas::shownUtf8Bytes(std::string_view text, float room) const
{
    float used = 0;
    std::size_t n = 0;
    std::size_t extra = 2;
    while (n < text.size()) {
        const auto b = static_cast<unsigned char>(text[n]);
        // ASCII has the same widths as in the Windows-1252 table.
        if (b < 0x80) {
            used += m_advances[b];
            ++n;
        } else {
            used += wideAdvance(UnicodeText::decode(text, n));
        }
        if (used > room && extra-- == 0)
            break;
    }
    // Every step took a whole character: the cut never falls inside one.
    return n;
}

void QtCellCanvas::drawText(PixelRect clip, int x, int y, std::string_view text, ColorRef color, bool italic)
{
    if (clip.width <= 0 || clip.height <= 0 || text.empty())
        return;
    // Characters past the clip's right edge never show: stop a little after
    // it (kerning and italic overhang) instead of laying out them all.
    const float room = static_cast<float>(clip.left + clip.width - x);
    const bool unicode = m_encoding == TextEncoding::Utf8;
    const std::size_t n = unicode ? shownUtf8Bytes(text, room) : shownBytes(text, room);
    m_painter.save();
    m_painter.setClipRect(qRect(clip), Qt::IntersectClip);
    m_painter.setFont(italic ? m_italic : m_font);
    m_painter.setPen(qColor(color));
    m_painter.drawText(QPoint(x, y + (italic ? m_italicAscent : m_ascent)),
                       ListText::toUnicode(text.substr(0, n), m_encoding));
    m_painter.restore();
}

void QtCellCanvas::drawFocusRect(PixelRect rect)
{
    if (rect.width <= 0 || rect.height <= 0)
        return;
    // A dotted frame that inverts what is under it, as the desktop's focus frame does.
    m_painter.save();
    QPen pen(Qt::white, 0, Qt::DotLine);
    m_painter.setPen(pen);
    m_painter.setBrush(Qt::NoBrush);
    if (m_painter.paintEngine() && m_painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes))
        m_painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    else
        m_painter.setPen(QPen(Qt::black, 0, Qt::DotLine));
    m_painter.drawRect(QRect(rect.left, rect.top, rect.width - 1, rect.height - 1));
    m_painter.restore();
}

} // namespace quorvex
