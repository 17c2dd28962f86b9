#include "PageSelection.h"

#include <climits>

namespace quorvex {

bool PageSelection::parsePiece(const std::string &piece, int &value)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < piece.size() && (piece[i] == '+' || piece[i] == '-')) {
        negative = piece[i] == '-';
        ++i;
    }
    if (i == piece.size())
        return false;
    long long v = 0;
    for (; i < piece.size(); ++i) {
        const char c = piece[i];
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
        // Past 32 bits a piece is not a number, however its digits read.
        if (v > static_cast<long long>(INT_MAX) + (negative ? 1 : 0))
            return false;
    }
    value = static_cast<int>(negative ? -v : v);
    return true;
}

PageSelection::Check PageSelection::checkList(const std::string &text, int totalPages)
{
    Check check;
    const std::string notNumber = "Text must be a number or a comma!";
    bool lastStartedPiece = false;
    std::size_t i = 0;
    const std::size_t n = text.size() > MaxListText ? MaxListText : text.size();
    while (i < n) {
        if (text[i] == ',') {
            lastStartedPiece = false;
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < n && text[end] != ',')
            ++end;
        lastStartedPiece = true;
        int value = 0;
        const std::string piece = text.substr(i, end - i);
        if (piece.size() <= MaxPieceLength && parsePiece(piece, value))
            check.pages.push_back(value);
        else if (check.messages.empty())
            check.messages.push_back(notNumber);
        // The comma after the piece (if any) is looked at next.
        i = end;
        if (i < n) {
            lastStartedPiece = false;
            ++i;
            if (i == n)
                lastStartedPiece = true; // "1,2," ends in one comma: still a list
        }
    }
    // After a piece that is not a number the checks still run over what was
    // read, but the dialog stays open whatever they find.
    if (n == 0 || !lastStartedPiece) {
        check.messages.push_back("There are no pages to print! Enter at least one page!");
        return check;
    }
    for (int p : check.pages) {
        if (p > totalPages) {
            check.messages.push_back("One or more of the page numbers are greater than the total number of pages!");
            return check;
        }
        if (p < 1) {
            check.messages.push_back("One or more of the page numbers are less than 1!");
            return check;
        }
    }
    return check;
}

PageSelection::Check PageSelection::validate(int totalPages)
{
    if (!rangeMode)
        return checkList(pageNums, totalPages);
    if (endPage > totalPages)
        endPage = totalPages;
    if (startPage > endPage)
        startPage = endPage;
    return Check{};
}

std::vector<int> PageSelection::pageList(int *pauseBefore) const
{
    std::vector<int> pages;
    if (pauseBefore)
        *pauseBefore = -1;
    if (!rangeMode) {
        Check c = checkList(pageNums, INT_MAX);
        return c.pages;
    }
    if (startPage > endPage)
        return pages;
    pages.reserve(static_cast<std::size_t>(endPage - startPage) + 1);
    if (!oddsFirst) {
        for (long long p = startPage; p <= endPage; ++p)
            pages.push_back(static_cast<int>(p));
        return pages;
    }
    for (long long p = startPage; p <= endPage; ++p)
        if (p % 2 != 0)
            pages.push_back(static_cast<int>(p));
    const std::size_t odds = pages.size();
    for (long long p = startPage; p <= endPage; ++p)
        if (p % 2 == 0)
            pages.push_back(static_cast<int>(p));
    if (pauseBefore && odds > 0 && odds < pages.size())
        *pauseBefore = static_cast<int>(odds);
    return pages;
}

} // namespace quorvex
