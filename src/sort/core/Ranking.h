#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace quorvex::sorting {

class KeyStore;

// Equal keys share a rank; so do the keys of a group: the keys below the
// shallowest place where two of them meet digit runs of equal value and
// different lengths. Between ranks the comparison agrees with the order.
// Ranked by marks, two keys that agree up to one's mark also share a group
// (a marked one): what follows the mark may change, so only a comparison
// settled before both marks is known.
struct Ranking {
    std::vector<std::uint32_t> order;      // key ids by rank
    std::vector<std::uint32_t> rank;       // by key id
    std::vector<std::uint32_t> classStart; // into order, one per rank and the end
    std::vector<int> groupOfRank;          // -1 for plain equal keys
    std::vector<std::size_t> groupDepth;   // end of the meeting runs' token in the normalised key
    std::vector<char> groupMarked;         // by group: keys meet past a mark
};

// `idle`, when given, is called every so many keys of a long ranking.
Ranking rankKeys(const KeyStore &keys, bool byMarks = false, const std::function<void()> *idle = nullptr);


} // namespace quorvex::sorting
