#include "PrintLayout.h"

#include "document/core/ListDocument.h"

#include <cmath>
#include <ctime>

namespace quorvex {

namespace {

int truncScale(double value, double scale)
{
    return static_cast<int>(value * scale);
}

int printFontSize(const PrintMetrics &m)
{
    return truncScale(m.gridFontSize, m.scale.fontScale);
}

} // namespace

PageGeometry::Rect PageGeometry::cellRect(int col, int row) const
{
    Rect r;
    r.right = colRight[static_cast<std::size_t>(col)];
    r.left = r.right - colWidth[static_cast<std::size_t>(col)];
    r.bottom = rowBottom[static_cast<std::size_t>(row)];
    r.top = r.bottom - rowHeight;
    return r;
}

PageGeometry::Rect PageGeometry::frameRect() const
{
    Rect r;
    r.left = leftIndent;
    r.top = topIndent;
    r.right = (colRight.empty() ? leftIndent : colRight.back()) + 2;
    r.bottom = (rowBottom.empty() ? topIndent : rowBottom.back()) + 2;
    return r;
}

std::optional<int> PrintLayout::recommendedEntries(const PrintMetrics &m, bool landscape, int topIndent)
{
    const double h = PageScale * (landscape ? PortraitBaseWidth : PortraitBaseHeight);
    const double r = m.gridFontSize * m.scale.fontScale * m.rowHeightFactor;
    const double l = m.gridLineWidth * m.scale.lineScale;
    const double perRow = r + l;
    // A zero or negative row (size 0 font, no lines) or a non-number has no answer.
    if (!(perRow > 0.0) || !std::isfinite(perRow))
        return std::nullopt;
    const double entries = (h - r - l - m.scale.footerMargin - r - topIndent) / perRow;
    if (!std::isfinite(entries) || entries > 1e9 || entries < -1e9)
        return std::nullopt;
    return static_cast<int>(entries);
}

int PrintLayout::clampEntries(int entries)
{
    return entries < PageSetup::MinEntries ? PageSetup::MinEntries
                                           : (entries > PageSetup::MaxEntries ? PageSetup::MaxEntries : entries);
}

int PrintLayout::totalPages(long long dataRows, int entriesPerPage)
{
    const int m = entriesPerPage < 1 ? 1 : entriesPerPage;
    const long long pages = (dataRows + m - 1) / m;
    return pages < 1 ? 1 : static_cast<int>(pages);
}

long long PrintLayout::firstRowOfPage(long long page, int entriesPerPage)
{
    return (page - 1) * static_cast<long long>(entriesPerPage) + 1;
}

int PrintLayout::imageWidth(bool landscape)
{
    return truncScale(landscape ? PortraitBaseHeight : PortraitBaseWidth, PageScale);
}

int PrintLayout::imageHeight(bool landscape)
{
    return truncScale(landscape ? PortraitBaseWidth : PortraitBaseHeight, PageScale);
}

int PrintLayout::fittingColumns(const ListDocument &doc, const PrintMetrics &m, bool landscape, int leftIndent)
{
    const int g = truncScale(m.gridLineWidth, m.scale.lineScale);
    const double limit = imageWidth(landscape) - leftIndent - 4;
    double sum = 0;
    int taken = 0;
    for (int c = 1; c < doc.ColCount(); ++c) {
        const double w = doc.ColWidth(c) * m.scale.columnScale;
        // The first column that would cross the border ends the walk.
        if (!(sum + w + static_cast<double>(c) * g < limit))
            break;
        sum = static_cast<double>(static_cast<long long>(sum + w));
        ++taken;
    }
    return taken;
}

PageGeometry PrintLayout::geometry(const std::vector<int> &screenWidths, int entries, const PrintMetrics &m,
                                   const PageSetup &setup)
{
    PageGeometry g;
    g.imageWidth = imageWidth(setup.landscape);
    g.imageHeight = imageHeight(setup.landscape);
    g.leftIndent = setup.leftIndent;
    g.topIndent = setup.topIndent;
    g.fontSize = printFontSize(m);
    g.rowHeight = truncScale(g.fontSize, m.rowHeightFactor);
    g.lineWidth = truncScale(m.gridLineWidth, m.scale.lineScale);
    g.footerY = g.imageHeight - (g.fontSize + m.scale.footerMargin);
    int x = setup.leftIndent;
    for (int w : screenWidths) {
        const int width = truncScale(w, m.scale.columnScale);
        x += width + g.lineWidth;
        g.colWidth.push_back(width);
        g.colRight.push_back(x);
    }
    int y = setup.topIndent;
    for (int i = 0; i <= entries; ++i) {
        y += g.rowHeight + g.lineWidth;
        g.rowBottom.push_back(y);
    }
    return g;
}

std::string PrintLayout::listName(bool hasFile, const std::string &path)
{
    if (!hasFile)
        return "Unnamed new list";
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return "Uknown list name";
    return path.substr(slash + 1);
}

std::string PrintLayout::footerDate(int year, int month, int day)
{
    static const char *const names[] = {"Jan ", "Feb ", "Mar ", "Apr ", "May ", "Jun ",
                                        "Jul ", "Aug ", "Sep ", "Oct ", "Nov ", "Dec "};
    const std::string monthName = month >= 1 && month <= 12 ? names[month - 1] : "Unknown month ";
    return monthName + std::to_string(day) + ", " + std::to_string(year);
}

std::string PrintLayout::footerText(long long page, const std::string &listName, const std::string &date)
{
    return "Page " + std::to_string(page) + " - " + listName + " - " + date;
}

std::string PrintLayout::today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return footerDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

} // namespace quorvex
