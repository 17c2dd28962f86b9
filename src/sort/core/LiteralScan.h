#pragma once

#include "platform/core/TextEncoding.h"

#include <cstddef>
#include <string>
#include <vector>

namespace quorvex::sorting {

// The selection sort's scan as it is written, over a group's slots with the
// keys the members have where they stand. For a few members it costs less
// than ordering them.
class LiteralScan {
public:
    LiteralScan(std::vector<std::string> keys, bool backwards, TextEncoding encoding);

    // The slot the scan ends on.
    std::size_t winner() const;
    bool alive(std::size_t slot) const;
    void kill(std::size_t slot);
    // The member at `from` moves to `to`, with the key it has there.
    void move(std::size_t from, std::size_t to, std::string key);
    // ... with the key it had (the two slots read the same page cell).
    void move(std::size_t from, std::size_t to);

private:
    std::vector<std::string> m_keys; // by slot
    std::vector<std::size_t> m_alive; // live slots, ascending
    bool m_backwards;
    TextEncoding m_encoding;
};

} // namespace quorvex::sorting
