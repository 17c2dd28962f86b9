#include "LiteralScan.h"

#include "SortEngine.h"

#include <algorithm>
#include <utility>

namespace quorvex::sorting {

LiteralScan::LiteralScan(std::vector<std::string> keys, bool backwards, TextEncoding encoding)
    : m_keys(std::move(keys)), m_backwards(backwards), m_encoding(encoding)
{
    m_alive.reserve(m_keys.size());
    for (std::size_t s = 0; s < m_keys.size(); ++s)
        m_alive.push_back(s);
}

std::size_t LiteralScan::winner() const
{
    std::size_t best = m_alive.front();
    for (std::size_t k = 1; k < m_alive.size(); ++k)
        if (SortEngine::CompareSortKeys(m_keys[best], m_keys[m_alive[k]], m_backwards, m_encoding))
            best = m_alive[k];
    return best;
}

bool LiteralScan::alive(std::size_t slot) const { return std::binary_search(m_alive.begin(), m_alive.end(), slot); }

void LiteralScan::kill(std::size_t slot)
{
    const auto it = std::lower_bound(m_alive.begin(), m_alive.end(), slot);
    if (it != m_alive.end() && *it == slot)
        m_alive.erase(it);
}

void LiteralScan::move(std::size_t from, std::size_t to, std::string key)
{
    m_keys[to] = std::move(key);
    kill(from);
}

void LiteralScan::move(std::size_t from, std::size_t to)
{
    m_keys[to] = std::move(m_keys[from]);
    kill(from);
}

} // namespace quorvex::sorting
