#pragma once

#include "document/core/PageSetup.h"

#include <optional>
#include <string>
#include <vector>

namespace quorvex {

class ListDocument;

// Everything about a printed page that does not depend on the printer: the
// page image's size, the scaled font, rows, lines and columns, and where each
// cell, the frame and the footer go on the image.
struct PageGeometry {
    int imageWidth = 0;
    int imageHeight = 0;
    int leftIndent = 0;
    int topIndent = 0;
    int fontSize = 0;  // print font size K in points
    int rowHeight = 0; // print default row height
    int lineWidth = 0; // print grid line width G
    int footerY = 0;
    // Right edges of the columns and bottom edges of the rows, line included.
    std::vector<int> colRight;
    std::vector<int> rowBottom;
    std::vector<int> colWidth;

    struct Rect {
        int left = 0, top = 0, right = 0, bottom = 0;
        int width() const { return right - left; }
        int height() const { return bottom - top; }
    };
    Rect cellRect(int col, int row) const;
    // The outer corner of the bevel frame around the table.
    Rect frameRect() const;
};

// The inputs the layout is computed from.
struct PrintMetrics {
    int gridFontSize = 9;
    double rowHeightFactor = 1.97;
    int gridLineWidth = 1;
    PrintScale scale;
};

class PrintLayout {
public:
    static constexpr int PortraitBaseWidth = 823;
    static constexpr int PortraitBaseHeight = 1099;
    static constexpr double PageScale = 2.0;

    // The recommended entries per page, unclamped; nothing when it cannot be computed.
    static std::optional<int> recommendedEntries(const PrintMetrics &metrics, bool landscape, int topIndent);
    // The value the entries-per-page box takes from a recommendation.
    static int clampEntries(int entries);

    // Pages of a list of dataRows rows at M entries a page; at least 1.
    static int totalPages(long long dataRows, int entriesPerPage);
    // First row of page P (1-based pages, rows from 1).
    static long long firstRowOfPage(long long page, int entriesPerPage);

    static int imageWidth(bool landscape);
    static int imageHeight(bool landscape);

    // How many of the list's data columns (from column 1) fit across the page.
    static int fittingColumns(const ListDocument &doc, const PrintMetrics &metrics, bool landscape, int leftIndent);
    // The geometry of a page whose print grid has the given screen widths and M entry rows.
    static PageGeometry geometry(const std::vector<int> &screenWidths, int entries, const PrintMetrics &metrics,
                                 const PageSetup &setup);

    // "Unnamed new list" without a file, the name after the last "/" otherwise.
    static std::string listName(bool hasFile, const std::string &path);
    // "Mar 7, 2008".
    static std::string footerDate(int year, int month, int day);
    static std::string footerText(long long page, const std::string &listName, const std::string &date);
    static std::string today();
};

} // namespace quorvex
