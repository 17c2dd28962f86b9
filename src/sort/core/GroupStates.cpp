#include "GroupStates.h"

#include "PageColumn.h"
#include "SortEngine.h"
#include "SortKeyText.h"
#include "document/core/ListDocument.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace quorvex::sorting {

namespace {

// A key, with the first digit of each page number marked.
struct MarkedKey {
    std::string text;
    std::vector<char> pageDigit;
};

MarkedKey markedKey(const GroupStates::Where &w, std::uint32_t content, std::string_view pageText, bool numbered)
{
    MarkedKey k;
    appendKey(k.text, w.doc, w.options, w.first + static_cast<int>(content), std::string_view());
    if (!numbered && pageText.empty()) {
        k.pageDigit.assign(k.text.size(), 0);
        return k;
    }
    // Built again with the page text in place; a number stands for any.
    k.text.clear();
    const std::string_view page = numbered ? std::string_view(" 5") : pageText;
    for (int i = 0; i < KeyColumnCount; ++i) {
        if (i > 0) {
            k.text.append(Separator, 3);
            k.pageDigit.resize(k.text.size(), 0);
        }
        const int c = w.options.keyColumns[static_cast<std::size_t>(i)];
        if (c == 0) {
            appendKeyCell(k.text, page, w.options);
            k.pageDigit.resize(k.text.size(), 0);
            if (numbered)
                k.pageDigit.back() = 1;
        } else {
            appendKeyCell(k.text, w.doc.cellView(c, w.first + static_cast<int>(content)), w.options);
            k.pageDigit.resize(k.text.size(), 0);
        }
    }
    return k;
}

// The comparison of a best key and a later candidate's, as CompareSortKeys
// makes it, where marked digits begin page numbers whose values are unknown
// but rise down the list: 1 or 0, or -1 when the outcome would turn on the
// numbers' values.
int compareMarked(const MarkedKey &best, const MarkedKey &cand, bool backwards, bool unsignedBytes)
{
    const std::string &b = best.text, &c = cand.text;
    const std::size_t lb = b.size(), lc = c.size();
    std::size_t p = 0;
    bool digitTest = true;
    while (p < lb && p < lc) {
        const unsigned char x = static_cast<unsigned char>(b[p]), y = static_cast<unsigned char>(c[p]);
        const bool px = best.pageDigit[p] != 0, py = cand.pageDigit[p] != 0;
        if (digitTest && isDigit(x) && isDigit(y)) {
            if (px && py) // two page numbers: the candidate's, further down, is greater
                return backwards ? 1 : 0;
            if (px || py)
                return -1;
            std::size_t eb = p, ec = p;
            while (eb < lb && isDigit(static_cast<unsigned char>(b[eb])))
                if (best.pageDigit[eb++])
                    return -1;
            while (ec < lc && isDigit(static_cast<unsigned char>(c[ec])))
                if (cand.pageDigit[ec++])
                    return -1;
            const double vb = SortEngine::runValue(b.data() + p, eb - p);
            const double vc = SortEngine::runValue(c.data() + p, ec - p);
            if (vc < vb)
                return backwards ? 0 : 1;
            if (vc > vb)
                return backwards ? 1 : 0;
            // The jump skips the candidate's bytes up to the best's run end:
            // a page number among them would shift everything after it.
            for (std::size_t q = ec; q < eb && q < lc; ++q)
                if (cand.pageDigit[q])
                    return -1;
            p = eb;
            digitTest = false;
            continue;
        }
        if ((px || py) && isDigit(x) && isDigit(y))
            return -1; // a page number's digit against a digit, by value
        digitTest = true;
        const int sx = unsignedBytes ? x : static_cast<signed char>(x);
        const int sy = unsignedBytes ? y : static_cast<signed char>(y);
        if (sx < sy)
            return backwards ? 1 : 0;
        if (sx > sy)
            return backwards ? 0 : 1;
        ++p;
    }
    const bool bestEnded = p >= lb, candEnded = p >= lc;
    return backwards ? (bestEnded && !candEnded) : (candEnded && !bestEnded);
}

} // namespace

std::size_t GroupStates::maxStates = 240;

bool GroupStates::build(const Where &w, const std::vector<std::uint32_t> &contents, const std::vector<std::size_t> &slotPos)
{
    const std::size_t slots = slotPos.size();
    // Kinds of page cell by slot.
    std::vector<std::string_view> kindTexts;
    m_pageKind.assign(slots, 0);
    if (!w.pageKey) {
        kindTexts.push_back(w.fixedPage);
    } else if (w.pagesNumbered) {
        kindTexts = {std::string_view(), std::string_view(" 5")};
        for (std::size_t s = 0; s < slots; ++s)
            m_pageKind[s] = w.pages.at(slotPos[s]).empty() ? 0 : 1;
    } else {
        std::unordered_map<std::string_view, std::uint32_t> kinds;
        for (std::size_t s = 0; s < slots; ++s) {
            const std::string_view t = w.pages.at(slotPos[s]);
            const auto it = kinds.emplace(t, static_cast<std::uint32_t>(kindTexts.size())).first;
            if (it->second == kindTexts.size())
                kindTexts.push_back(t);
            m_pageKind[s] = it->second;
            if (kindTexts.size() > maxStates)
                return false;
        }
    }
    m_pageKinds = kindTexts.size();

    // Contents by their key with empty page cells and the places of those.
    std::unordered_map<std::string, std::uint32_t> classes;
    std::vector<std::uint32_t> representative;
    m_contentClass.clear();
    std::string id;
    std::size_t done = 0;
    for (std::uint32_t content : contents) {
        if (++done % (1 << 16) == 0 && w.idle)
            w.idle();
        id.clear();
        appendKey(id, w.doc, w.options, w.first + static_cast<int>(content), std::string_view());
        {
            // ... and where the page cells stand in it.
            std::size_t length = 0;
            for (int i = 0; i < KeyColumnCount; ++i) {
                const int c = w.options.keyColumns[static_cast<std::size_t>(i)];
                length += i > 0 ? 3 : 0;
                if (c == 0)
                    id.append(reinterpret_cast<const char *>(&length), sizeof length);
                else
                    length += keyCellLength(w.doc.cellView(c, w.first + static_cast<int>(content)), w.options);
            }
        }
        const auto it = classes.emplace(id, static_cast<std::uint32_t>(representative.size())).first;
        if (it->second == representative.size())
            representative.push_back(content);
        m_contentClass.emplace_back(content, it->second);
        if (representative.size() * m_pageKinds > maxStates)
            return false;
    }
    std::sort(m_contentClass.begin(), m_contentClass.end());
    states = representative.size() * m_pageKinds;
    if (StateScan::bytesFor(slots, states) > MaxBytes)
        return false;

    std::vector<MarkedKey> keys;
    keys.reserve(states);
    for (std::uint32_t content : representative)
        for (std::size_t k = 0; k < m_pageKinds; ++k)
            keys.push_back(markedKey(w, content, kindTexts[k], w.pageKey && w.pagesNumbered && k == 1));
    beats.assign(states * states, 0);
    for (std::size_t x = 0; x < states; ++x)
        for (std::size_t y = 0; y < states; ++y) {
            const int r = compareMarked(keys[x], keys[y], w.options.backwards, unsignedOrder(w.options));
            if (r < 0)
                return false;
            beats[x * states + y] = static_cast<char>(r);
        }
    slotStates.resize(slots);
    for (std::size_t s = 0; s < slots; ++s)
        slotStates[s] = stateOf(contents[s], s);
    return true;
}

} // namespace quorvex::sorting
