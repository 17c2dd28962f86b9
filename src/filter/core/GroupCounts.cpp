#include "GroupCounts.h"

#include "document/core/ListDocument.h"
#include "filter/core/RowFilter.h"

#include <algorithm>

namespace quorvex {

bool GroupCounts::before(const Entry &a, const Entry &b) const
{
    if (m_order == Order::ByCount && a.count != b.count)
        return a.count > b.count;
    return a.text < b.text;
}

void GroupCounts::count(const ListDocument &doc, int column, Order order)
{
    m_column = column;
    m_order = order;
    m_counts.clear();
    m_entries.clear();
    m_seen.clear();
    m_total = 0;
    m_colCount = doc.ColCount();
    if (column < 1 || column >= doc.ColCount())
        return;
    // Views into the list while counting: one string per distinct text, not per
    // row, and the order is found on the views before any string is made.
    std::unordered_map<std::string_view, long long> views;
    const int rows = doc.RowCount();
    views.reserve(static_cast<std::size_t>(std::min(rows, 1 << 16)));
    m_seen.reserve(static_cast<std::size_t>(rows));
    m_seen.push_back(CellRow());
    for (int r = 1; r < rows; ++r) {
        const CellRow &cells = doc.rowAt(r);
        ++views[column < cells.storedCount() ? cells.cell(column) : std::string_view()];
        m_seen.push_back(cells);
    }
    m_total = rows - 1;
    std::vector<std::pair<std::string_view, long long>> sorted(views.begin(), views.end());
    views = {};
    const bool byCount = order == Order::ByCount;
    std::sort(sorted.begin(), sorted.end(), [byCount](const auto &a, const auto &b) {
        if (byCount && a.second != b.second)
            return a.second > b.second;
        return a.first < b.first;
    });
    m_entries.reserve(sorted.size());
    m_counts.reserve(sorted.size());
    for (const auto &v : sorted) {
        m_entries.push_back(Entry{std::string(v.first), v.second});
        m_counts.emplace(std::string(v.first), v.second);
    }
    m_order = order;
}

void GroupCounts::setOrder(Order order)
{
    m_order = order;
    std::sort(m_entries.begin(), m_entries.end(), [this](const Entry &a, const Entry &b) { return before(a, b); });
}

int GroupCounts::position(std::string_view text, long long count) const
{
    const Entry key{std::string(text), count};
    const auto it = std::lower_bound(m_entries.begin(), m_entries.end(), key,
                                     [this](const Entry &a, const Entry &b) { return before(a, b); });
    return static_cast<int>(it - m_entries.begin());
}

int GroupCounts::indexOf(std::string_view text) const
{
    const auto found = m_counts.find(std::string(text));
    if (found == m_counts.end())
        return -1;
    const int at = position(text, found->second);
    return at < static_cast<int>(m_entries.size()) && m_entries[static_cast<std::size_t>(at)].text == text ? at : -1;
}

GroupCounts::Change GroupCounts::add(std::string_view text, long long delta)
{
    Change change;
    const std::string key(text);
    auto found = m_counts.find(key);
    const long long old = found == m_counts.end() ? 0 : found->second;
    const long long now = std::max(0LL, old + delta);
    if (old == now)
        return change;
    if (old == 0) {
        const int at = position(text, now);
        m_entries.insert(m_entries.begin() + at, Entry{key, now});
        m_counts.emplace(key, now);
        change = {at, static_cast<int>(m_entries.size()) - 1, true};
        return change;
    }
    const int from = position(text, old);
    if (now == 0) {
        m_entries.erase(m_entries.begin() + from);
        m_counts.erase(found);
        change = {from, static_cast<int>(m_entries.size()), true};
        return change;
    }
    found->second = now;
    m_entries[static_cast<std::size_t>(from)].count = now;
    // Only the entry's own place changes: move it past the neighbours it now precedes or follows.
    const bool up = from > 0 && before(m_entries[static_cast<std::size_t>(from)], m_entries[static_cast<std::size_t>(from - 1)]);
    int to = from;
    if (!up) {
        const Entry moved = m_entries[static_cast<std::size_t>(from)];
        const auto it = std::lower_bound(m_entries.begin() + from + 1, m_entries.end(), moved,
                                         [this](const Entry &a, const Entry &b) { return before(a, b); });
        to = static_cast<int>(it - m_entries.begin()) - 1;
        std::rotate(m_entries.begin() + from, m_entries.begin() + from + 1, m_entries.begin() + to + 1);
        change = {from, to, false};
    } else {
        // Neighbours of equal count sit in name order: a search finds the new place at once.
        const Entry moved = m_entries[static_cast<std::size_t>(from)];
        const auto it = std::lower_bound(m_entries.begin(), m_entries.begin() + from, moved,
                                         [this](const Entry &a, const Entry &b) { return before(a, b); });
        to = static_cast<int>(it - m_entries.begin());
        std::rotate(m_entries.begin() + to, m_entries.begin() + from, m_entries.begin() + from + 1);
        change = {to, from, false};
    }
    return change;
}

GroupCounts::Change GroupCounts::cellChanged(std::string_view was, std::string_view now)
{
    if (m_column < 1 || was == now)
        return Change{};
    const Change a = add(was, -1);
    const Change b = add(now, +1);
    Change both;
    both.sizeChanged = a.sizeChanged || b.sizeChanged;
    if (a.first > a.last)
        return Change{b.first, b.last, both.sizeChanged};
    if (b.first > b.last)
        return Change{a.first, a.last, both.sizeChanged};
    both.first = std::min(a.first, b.first);
    both.last = std::max(a.last, b.last);
    return both;
}

GroupCounts::Change GroupCounts::follow(const ListDocument &doc)
{
    const int rows = doc.RowCount();
    const auto recount = [&] {
        count(doc, m_column, m_order);
        return Change{0, static_cast<int>(m_entries.size()) - 1, true};
    };
    if (m_column < 1 || doc.ColCount() != m_colCount || static_cast<int>(m_seen.size()) != rows)
        return recount();
    std::vector<int> changed;
    const std::size_t most = static_cast<std::size_t>(rows / 8 + 16);
    for (int r = 1; r < rows; ++r) {
        if (!doc.rowAt(r).sharesBlockWith(m_seen[static_cast<std::size_t>(r)])) {
            changed.push_back(r);
            if (changed.size() > most)
                return recount(); // a sort or a large paste: counting again is cheaper
        }
    }
    Change all;
    const auto text = [this](const CellRow &cells) {
        return m_column < cells.storedCount() ? cells.cell(m_column) : std::string_view();
    };
    for (const int r : changed) {
        CellRow &seen = m_seen[static_cast<std::size_t>(r)];
        const CellRow &now = doc.rowAt(r);
        const Change c = cellChanged(text(seen), text(now));
        seen = now;
        if (c.first > c.last)
            continue;
        all.sizeChanged = all.sizeChanged || c.sizeChanged;
        all.first = all.first > all.last ? c.first : std::min(all.first, c.first);
        all.last = std::max(all.last, c.last);
    }
    return all;
}

std::string GroupCounts::label(const Entry &e)
{
    return (e.text.empty() ? std::string(EmptyLabel) : e.text) + " (" + RowFilter::groupedNumber(e.count) + ")";
}

} // namespace quorvex
