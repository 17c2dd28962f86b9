#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace quorvex {

// The distinct texts a wizard field offers, in drop-down order: ASCII letters
// compared without case first, then the exact bytes, so 'Drama' and 'drama'
// both show, next to each other. Membership is a hash look-up.
class DropDownList {
public:
    // False when the exact text is already there.
    bool add(std::string_view text);
    bool empty() const { return m_seen.empty(); }
    std::size_t size() const { return m_seen.size(); }
    void clear();
    // Sorted on demand; the revision changes whenever the items do.
    const std::vector<std::string> &items() const;
    unsigned revision() const { return m_revision; }

    static bool before(const std::string &a, const std::string &b);

private:
    std::unordered_set<std::string> m_seen;
    mutable std::vector<std::string> m_items;
    mutable bool m_sorted = true;
    unsigned m_revision = 0;
};

} // namespace quorvex
