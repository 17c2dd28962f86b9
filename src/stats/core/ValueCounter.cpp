#include "ValueCounter.h"

#include <cstring>

namespace quorvex {

namespace {

constexpr std::size_t FirstSize = 64;

// FNV-1a over the bytes, eight at a time where it can, then mixed: cell texts
// are short, and a hash of every byte keeps "DVD 17" and "DVD 71" apart.
std::uint32_t hashText(std::string_view text)
{
    std::uint64_t h = 1469598103934665603ull;
    const char *p = text.data();
    std::size_t n = text.size();
    while (n >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        h = (h ^ word) * 1099511628211ull;
        h ^= h >> 29;
        p += 8;
        n -= 8;
    }
    while (n > 0) {
        h = (h ^ static_cast<unsigned char>(*p++)) * 1099511628211ull;
        --n;
    }
    h ^= h >> 32;
    h *= 0x9E3779B97F4A7C15ull;
    return static_cast<std::uint32_t>(h >> 32);
}

} // namespace

ValueCounter::ValueCounter()
{
    m_slots.resize(FirstSize);
    m_mask = FirstSize - 1;
}

void ValueCounter::add(std::string_view text)
{
    if (text.empty()) {
        ++m_empty;
        return;
    }
    const std::uint32_t h = hashText(text);
    const std::uint32_t size = static_cast<std::uint32_t>(text.size());
    std::size_t i = h & m_mask;
    for (;;) {
        Slot &s = m_slots[i];
        if (!s.bytes) {
            s.bytes = text.data();
            s.size = size;
            s.count = 1;
            s.hash = h;
            // Half full at most: probes stay short even for unlucky texts.
            if (++m_used * 2 > m_slots.size())
                grow();
            return;
        }
        if (s.hash == h && s.size == size && std::memcmp(s.bytes, text.data(), size) == 0) {
            ++s.count;
            return;
        }
        i = (i + 1) & m_mask;
    }
}

void ValueCounter::reserve(std::size_t distinct)
{
    std::size_t size = m_slots.size();
    while (size < distinct * 2)
        size *= 2;
    if (size != m_slots.size())
        rehash(size);
}

void ValueCounter::grow()
{
    rehash(m_slots.size() * 2);
}

void ValueCounter::rehash(std::size_t size)
{
    std::vector<Slot> old(size);
    old.swap(m_slots);
    m_mask = m_slots.size() - 1;
    for (const Slot &s : old) {
        if (!s.bytes)
            continue;
        std::size_t i = s.hash & m_mask;
        while (m_slots[i].bytes)
            i = (i + 1) & m_mask;
        m_slots[i] = s;
    }
}

std::vector<ValueCount> ValueCounter::takeValues()
{
    std::vector<ValueCount> values;
    values.reserve(m_used + (m_empty > 0 ? 1 : 0));
    if (m_empty > 0)
        values.push_back(ValueCount{std::string_view(), m_empty});
    for (const Slot &s : m_slots)
        if (s.bytes)
            values.push_back(ValueCount{std::string_view(s.bytes, s.size), static_cast<int>(s.count)});
    std::vector<Slot>().swap(m_slots);
    m_mask = 0;
    m_used = 0;
    return values;
}

} // namespace quorvex
