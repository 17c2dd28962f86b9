#include "Ranking.h"

#include "KeyStore.h"
#include "platform/core/LargePages.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <utility>

namespace quorvex::sorting {

Ranking rankKeys(const KeyStore &keys, bool byMarks, const std::function<void()> *idle)
{
    const auto idleAt = [idle](std::size_t done) {
        if (idle && *idle && done % (std::size_t(1) << 16) == 0)
            (*idle)();
    };
    const std::size_t n = keys.size();
    struct Item {
        std::uint64_t prefix;
        std::uint32_t id;
        std::uint32_t length;   // of the key, or of the first 8 bytes when longer
        std::uint32_t firstRun; // offset of the first kept run
    };
    auto itemStore = LargePages::array<Item>(n), spareStore = LargePages::array<Item>(n);
    Item *items = itemStore.get();
    for (std::size_t c = 0; c < n; ++c) {
        const std::uint32_t id = static_cast<std::uint32_t>(c);
        items[c] = {keys.prefix(id), id, static_cast<std::uint32_t>(std::min<std::size_t>(keys.key(id).size(), 8)),
                    keys.runsBegin(id) != keys.runsEnd(id) ? keys.runsBegin(id)->offset
                                                           : std::numeric_limits<std::uint32_t>::max()};
    }
    // By the first eight bytes with a radix sort, then each run of equal
    // beginnings by the rest. A few keys are sorted at once.
    if (n <= 64) {
        std::sort(items, items + n, [&keys](const Item &a, const Item &b) {
            if (a.prefix != b.prefix)
                return a.prefix < b.prefix;
            return compareViews(keys.key(a.id), keys.key(b.id)) < 0;
        });
    } else {
        Item *spare = spareStore.get();
        for (int shift = 0; shift < 64 && n > 1; shift += 8) {
            idleAt(0);
            std::size_t count[257] = {0};
            for (const Item *it = items; it != items + n; ++it)
                ++count[((it->prefix >> shift) & 0xFF) + 1];
            if (count[((items[0].prefix >> shift) & 0xFF) + 1] == n)
                continue;
            for (int b = 0; b < 256; ++b)
                count[b + 1] += count[b];
            for (const Item *it = items; it != items + n; ++it)
                spare[count[(it->prefix >> shift) & 0xFF]++] = *it;
            std::swap(items, spare);
        }
    }
    for (std::size_t lo = 0; lo < n;) {
        idleAt(lo);
        std::size_t hi = lo + 1;
        while (hi < n && items[hi].prefix == items[lo].prefix)
            ++hi;
        if (hi - lo > 1)
            std::sort(items + lo, items + hi,
                      [&keys](const Item &a, const Item &b) {
                          const std::string_view ka = keys.key(a.id), kb = keys.key(b.id);
                          const std::size_t skip = std::min<std::size_t>({8, ka.size(), kb.size()});
                          return compareViews(ka.substr(skip), kb.substr(skip)) < 0;
                      });
        lo = hi;
    }

    // Neighbours: common prefix, and the depth at which they meet runs of
    // equal value and different lengths.
    std::vector<std::size_t> lcp(n ? n - 1 : 0);
    std::vector<std::pair<std::size_t, std::size_t>> mismatches; // (depth, pair index)
    std::vector<std::size_t> pastMark;                          // pair indices
    for (std::size_t s = 0; s + 1 < n; ++s) {
        idleAt(s);
        const std::uint32_t a = items[s].id, b = items[s + 1].id;
        if (items[s].prefix != items[s + 1].prefix) {
            // Settled within the first eight bytes, without reading the keys.
            const std::size_t same = static_cast<std::size_t>(__builtin_clzll(items[s].prefix ^ items[s + 1].prefix) / 8);
            lcp[s] = std::min<std::size_t>({same, items[s].length, items[s + 1].length});
        } else {
            lcp[s] = commonPrefix(keys.key(a), keys.key(b));
        }
        if (byMarks) {
            const std::size_t mark = std::min(keys.mark(a), keys.mark(b));
            if (lcp[s] >= mark) {
                mismatches.emplace_back(mark, s);
                pastMark.push_back(s);
            }
        }
        if (items[s].firstRun >= lcp[s] && items[s + 1].firstRun >= lcp[s])
            continue;
        const std::string_view ka = keys.key(a), kb = keys.key(b);
        // Only kept runs can differ in length from the other key's run.
        const KeyStore::Run *ra = keys.runsBegin(a), *rb = keys.runsBegin(b);
        const KeyStore::Run *const ea = keys.runsEnd(a), *const eb = keys.runsEnd(b);
        while (ra != ea || rb != eb) {
            const std::size_t offset = rb == eb || (ra != ea && ra->offset <= rb->offset) ? ra->offset : rb->offset;
            if (offset >= lcp[s])
                break;
            const std::size_t tokenEnd = offset + numberTokenSize(static_cast<unsigned char>(ka[offset]));
            if (tokenEnd > lcp[s])
                break;
            const std::uint32_t la = ra != ea && ra->offset == offset ? ra->length : plainLength(ka.data() + offset);
            const std::uint32_t lb = rb != eb && rb->offset == offset ? rb->length : plainLength(kb.data() + offset);
            if (la != lb) {
                mismatches.emplace_back(tokenEnd, s);
                break;
            }
            if (ra != ea && ra->offset == offset)
                ++ra;
            if (rb != eb && rb->offset == offset)
                ++rb;
        }
    }
    Ranking r;
    std::vector<int> groupOf(n, -1); // by sorted index
    std::sort(mismatches.begin(), mismatches.end());
    for (const auto &[depth, s] : mismatches) {
        if (groupOf[s] >= 0)
            continue;
        std::size_t lo = s, hi = s + 1;
        while (lo > 0 && lcp[lo - 1] >= depth)
            --lo;
        while (hi + 1 < n && lcp[hi] >= depth)
            ++hi;
        for (std::size_t t = lo; t <= hi; ++t)
            groupOf[t] = static_cast<int>(r.groupDepth.size());
        r.groupDepth.push_back(depth);
    }
    r.groupMarked.assign(r.groupDepth.size(), 0);
    for (std::size_t s : pastMark)
        r.groupMarked[static_cast<std::size_t>(groupOf[s])] = 1;

    r.order.resize(n);
    r.rank.resize(n);
    for (std::size_t s = 0; s < n; ++s) {
        if (s == 0 || !((groupOf[s] >= 0 && groupOf[s] == groupOf[s - 1]) ||
                        (items[s - 1].prefix == items[s].prefix && lcp[s - 1] == keys.key(items[s - 1].id).size() &&
                         lcp[s - 1] == keys.key(items[s].id).size()))) {
            r.classStart.push_back(static_cast<std::uint32_t>(s));
            r.groupOfRank.push_back(groupOf[s]);
        }
        r.order[s] = items[s].id;
        r.rank[items[s].id] = static_cast<std::uint32_t>(r.classStart.size() - 1);
    }
    r.classStart.push_back(static_cast<std::uint32_t>(n));
    return r;
}

} // namespace quorvex::sorting
