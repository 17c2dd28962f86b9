#include "SortEngine.h"

#include "document/core/ListDocument.h"
#include "platform/core/LargePages.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <limits>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

namespace quorvex {

namespace {

constexpr int KeyColumnCount = 8;
constexpr const char Separator[] = "   ";

inline bool isDigit(unsigned char b) { return b >= '0' && b <= '9'; }
inline unsigned char lowerAscii(unsigned char b) { return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + 32) : b; }

// Appends the key of a row whose page cell reads `pageText`.
void appendKey(std::string &out, const ListDocument &doc, const SortOptions &options, int row,
               std::string_view pageText)
{
    const std::size_t from = out.size();
    for (int k = 0; k < KeyColumnCount; ++k) {
        if (k > 0)
            out.append(Separator, 3);
        const int c = options.keyColumns[static_cast<std::size_t>(k)];
        out.append(c == 0 ? pageText : doc.cellView(c, row));
    }
    if (!options.caseSensitive) {
        for (std::size_t i = from; i < out.size(); ++i)
            out[i] = static_cast<char>(lowerAscii(static_cast<unsigned char>(out[i])));
    }
}

// ---------------------------------------------------------------------------
// Normalised keys. Where two keys never meet digit runs of equal value and
// different lengths, the comparison is a lexicographic order on tokens: a
// byte other than a digit by its signed value, a digit run by its value
// (between '/' and ':' against any other byte), a key that ends first is the
// smaller. The normalised form makes that order plain memcmp order: a byte b
// becomes b ^ 0x80 (signed order), a run becomes a marker from the digits'
// own range 0xB0..0xB9 followed by its value.

constexpr double ExactIntegerLimit = 9007199254740992.0; // 2^53

inline std::size_t numberTokenSize(unsigned char marker)
{
    return marker == 0xB9 ? 9 : 1 + (marker - 0xB0);
}

unsigned char *writeNumberToken(unsigned char *out, double value)
{
    if (value < ExactIntegerLimit) {
        std::uint64_t u = static_cast<std::uint64_t>(value);
        int k = 0;
        for (std::uint64_t t = u; t != 0; t >>= 8)
            ++k;
        *out++ = static_cast<unsigned char>(0xB0 + k);
        for (int s = 8 * (k - 1); s >= 0; s -= 8)
            *out++ = static_cast<unsigned char>((u >> s) & 0xFF);
        return out;
    }
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    *out++ = 0xB9;
    for (int s = 56; s >= 0; s -= 8)
        *out++ = static_cast<unsigned char>((bits >> s) & 0xFF);
    return out;
}

struct ByteMaps {
    unsigned char plain[256];
    unsigned char lowered[256];
    ByteMaps()
    {
        for (int b = 0; b < 256; ++b) {
            plain[b] = static_cast<unsigned char>(b ^ 0x80);
            lowered[b] = static_cast<unsigned char>(lowerAscii(static_cast<unsigned char>(b)) ^ 0x80);
        }
    }
};
const ByteMaps byteMaps;

// Every key once, normalised, with the place and length of each digit run.
class KeyStore {
public:
    struct Run {
        std::uint32_t offset;    // of its token in the normalised key
        std::uint32_t length;    // digits in the raw key
        std::uint32_t rawOffset; // of its first digit in the raw key
    };

    // Runs are kept only where two equal values could be written with
    // different lengths: with leading zeros or past 15 digits. Every other
    // run's length follows from its value. `allRuns` keeps them all.
    explicit KeyStore(bool allRuns = false) : m_allRuns(allRuns) {}

    // Adds a raw key as it is; returns its id. With `stem`, the normalised
    // length of raw[0, stem) is kept as the key's mark (stem must not split
    // a digit run).
    std::uint32_t add(std::string_view raw, std::size_t stem = std::string_view::npos)
    {
        if (stem >= raw.size())
            return addSegments(&raw, 1, false);
        const std::string_view parts[2] = {raw.substr(0, stem), raw.substr(stem)};
        return addSegments(parts, 2, false, 1);
    }

    // Adds the key of a row whose page cell reads `pageText`, built straight
    // from the cells. The mark is where the first page cell begins: the key
    // of the row under any other page text starts the same up to there.
    std::uint32_t addRow(const ListDocument &doc, const SortOptions &options, int row, std::string_view pageText)
    {
        std::string_view segments[2 * KeyColumnCount - 1];
        std::size_t k = 0, mark = std::string_view::npos;
        const CellRow &cells = doc.rowAt(row);
        const int columns = doc.ColCount();
        for (int i = 0; i < KeyColumnCount; ++i) {
            if (i > 0)
                segments[k++] = std::string_view(Separator, 3);
            const int c = options.keyColumns[static_cast<std::size_t>(i)];
            if (c == 0 && mark == std::string_view::npos)
                mark = k;
            segments[k++] = c == 0 ? pageText : (c > 0 && c < columns ? cells.cell(c) : std::string_view());
        }
        return addSegments(segments, k, !options.caseSensitive, mark);
    }
    // The normalised length before the mark (the whole key when none).
    std::size_t mark(std::uint32_t id) const { return m_marks[id]; }

    std::size_t size() const { return m_starts.size() - 1; }
    std::string_view key(std::uint32_t id) const
    {
        return std::string_view(reinterpret_cast<const char *>(m_data.get()) + m_starts[id],
                                m_starts[id + 1] - m_starts[id]);
    }
    const Run *runsBegin(std::uint32_t id) const { return m_runs.data() + m_runStarts[id]; }
    const Run *runsEnd(std::uint32_t id) const { return m_runs.data() + m_runStarts[id + 1]; }
    std::uint64_t prefix(std::uint32_t id) const
    {
        const std::string_view k = key(id);
        std::uint64_t p = 0;
        for (std::size_t i = 0; i < 8; ++i)
            p = (p << 8) | (i < k.size() ? static_cast<unsigned char>(k[i]) : 0u);
        return p;
    }
    void reserve(std::size_t keys, std::size_t bytes)
    {
        m_starts.reserve(keys + 1);
        m_runStarts.reserve(keys + 1);
        m_marks.reserve(keys);
        grow(bytes);
    }

private:
    // Digit runs never cross segments: the separators hold no digit.
    std::uint32_t addSegments(const std::string_view *segments, std::size_t count, bool lower,
                              std::size_t markSegment = std::string_view::npos)
    {
        std::size_t rawLength = 0;
        for (std::size_t i = 0; i < count; ++i)
            rawLength += segments[i].size();
        // Offsets are kept in 32 bits; a run token is at most twice its digits.
        if (rawLength > std::numeric_limits<std::uint32_t>::max() / 2)
            throw std::length_error("sort key too long");
        if (m_capacity - m_size < 2 * rawLength + 16)
            grow(2 * rawLength + 16);
        const unsigned char *map = lower ? byteMaps.lowered : byteMaps.plain;
        unsigned char *const base = m_data.get() + m_size;
        unsigned char *out = base;
        std::size_t rawPos = 0, mark = std::string_view::npos;
        for (std::size_t i = 0; i < count; ++i) {
            if (i == markSegment)
                mark = static_cast<std::size_t>(out - base);
            const unsigned char *p = reinterpret_cast<const unsigned char *>(segments[i].data());
            const unsigned char *const e = p + segments[i].size();
            while (p < e) {
                if (!isDigit(*p)) {
                    *out++ = map[*p++];
                    ++rawPos;
                    continue;
                }
                const unsigned char *q = p + 1;
                while (q < e && isDigit(*q))
                    ++q;
                const std::size_t len = static_cast<std::size_t>(q - p);
                if (m_allRuns || len > 15 || (*p == '0' && len > 1))
                    m_runs.push_back({static_cast<std::uint32_t>(out - base), static_cast<std::uint32_t>(len),
                                  static_cast<std::uint32_t>(rawPos)});
                out = writeNumberToken(out, SortEngine::runValue(reinterpret_cast<const char *>(p), len));
                rawPos += len;
                p = q;
            }
        }
        m_marks.push_back(mark == std::string_view::npos ? static_cast<std::size_t>(out - base) : mark);
        m_size += static_cast<std::size_t>(out - base);
        m_starts.push_back(m_size);
        m_runStarts.push_back(m_runs.size());
        return static_cast<std::uint32_t>(m_starts.size() - 2);
    }

    void grow(std::size_t extra)
    {
        if (m_capacity - m_size >= extra)
            return;
        std::size_t capacity = std::max(m_size + extra, m_capacity * 2);
        // Past half a large page the store takes the whole pages it is given.
        if (capacity >= LargePages::Size / 2)
            capacity = (capacity + LargePages::Size - 1) / LargePages::Size * LargePages::Size;
        auto data = LargePages::array<unsigned char>(capacity);
        if (m_size)
            std::memcpy(data.get(), m_data.get(), m_size);
        m_data = std::move(data);
        m_capacity = capacity;
    }

    bool m_allRuns;
    LargePages::Array<unsigned char> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    std::vector<std::size_t> m_starts{0};
    std::vector<Run> m_runs;
    std::vector<std::size_t> m_runStarts{0};
    std::vector<std::size_t> m_marks;
};

// The digits of a run written without leading zeros, from its token (0 for
// values past 2^53, whose runs are always kept).
std::uint32_t plainLength(const char *token)
{
    const unsigned char marker = static_cast<unsigned char>(token[0]);
    if (marker == 0xB9)
        return 0;
    std::uint64_t v = 0;
    for (int i = 1; i <= marker - 0xB0; ++i)
        v = (v << 8) | static_cast<unsigned char>(token[i]);
    std::uint32_t digits = 1;
    while (v >= 10) {
        v /= 10;
        ++digits;
    }
    return digits;
}

// The run length of the number token at `offset` of a key.
std::uint32_t runLengthAt(const KeyStore &keys, std::uint32_t id, std::size_t offset)
{
    for (const KeyStore::Run *r = keys.runsBegin(id); r != keys.runsEnd(id); ++r)
        if (r->offset == offset)
            return r->length;
    return plainLength(keys.key(id).data() + offset);
}

inline int compareViews(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    const int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
    if (c != 0)
        return c;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

inline std::size_t commonPrefix(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t i = 0;
    while (i + 8 <= n) {
        std::uint64_t x, y;
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y)
            return i + static_cast<std::size_t>(__builtin_ctzll(x ^ y) / 8);
        i += 8;
    }
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

// Minimum over slots, answering which is the first slot from a place on below a value.
class MinTree {
public:
    static constexpr std::uint32_t Empty = std::numeric_limits<std::uint32_t>::max();

    explicit MinTree(const std::vector<std::uint32_t> &values)
    {
        m_size = 1;
        while (m_size < values.size())
            m_size <<= 1;
        m_tree.assign(2 * m_size, Empty);
        std::copy(values.begin(), values.end(), m_tree.begin() + static_cast<std::ptrdiff_t>(m_size));
        for (std::size_t i = m_size - 1; i >= 1; --i)
            m_tree[i] = std::min(m_tree[2 * i], m_tree[2 * i + 1]);
    }
    void set(std::size_t pos, std::uint32_t v)
    {
        std::size_t i = pos + m_size;
        m_tree[i] = v;
        for (i >>= 1; i >= 1; i >>= 1) {
            const std::uint32_t m = std::min(m_tree[2 * i], m_tree[2 * i + 1]);
            if (m_tree[i] == m)
                break;
            m_tree[i] = m;
        }
    }
    std::uint32_t at(std::size_t pos) const { return m_tree[pos + m_size]; }
    // The first position at or after `from` whose value is below `x`, or npos.
    std::size_t firstBelow(std::size_t from, std::uint32_t x) const
    {
        if (from >= m_size)
            return npos;
        std::size_t i = from + m_size;
        if (m_tree[i] < x)
            return from;
        // Climb until a right sibling holds a value below x, then descend.
        for (;;) {
            if (i == 1)
                return npos;
            if ((i & 1) == 0 && m_tree[i + 1] < x) {
                i = i + 1;
                break;
            }
            i >>= 1;
        }
        while (i < m_size)
            i = m_tree[2 * i] < x ? 2 * i : 2 * i + 1;
        return i - m_size;
    }
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

private:
    std::size_t m_size = 1;
    std::vector<std::uint32_t> m_tree;
};

// MinTree's questions over slots of which only a few ever hold a value:
// nodes are made for the slots set, so a tree costs its values, not its span.
class SparseMinTree {
public:
    explicit SparseMinTree(std::size_t span)
    {
        while (m_span < span)
            m_span <<= 1;
        m_nodes.push_back(Node{});
    }
    void set(std::size_t pos, std::uint32_t v)
    {
        std::uint32_t path[64];
        int depth = 0;
        std::uint32_t node = 0;
        std::size_t lo = 0, span = m_span;
        while (span > 1) {
            path[depth++] = node;
            span >>= 1;
            const int side = pos >= lo + span ? 1 : 0;
            lo += side ? span : 0;
            if (m_nodes[node].child[side] == 0) {
                if (v == MinTree::Empty)
                    return; // nothing there to clear
                m_nodes[node].child[side] = static_cast<std::uint32_t>(m_nodes.size());
                m_nodes.push_back(Node{});
            }
            node = m_nodes[node].child[side];
        }
        m_nodes[node].min = v;
        while (depth > 0) {
            Node &up = m_nodes[path[--depth]];
            const std::uint32_t a = up.child[0] ? m_nodes[up.child[0]].min : MinTree::Empty;
            const std::uint32_t b = up.child[1] ? m_nodes[up.child[1]].min : MinTree::Empty;
            up.min = std::min(a, b);
        }
    }
    // The first position at or after `from` whose value is below `x`, or npos.
    std::size_t firstBelow(std::size_t from, std::uint32_t x) const { return find(0, 0, m_span, from, x); }

private:
    struct Node {
        std::uint32_t min = MinTree::Empty;
        std::uint32_t child[2] = {0, 0}; // 0: none (node 0 is the root)
    };
    std::size_t find(std::uint32_t node, std::size_t lo, std::size_t span, std::size_t from, std::uint32_t x) const
    {
        if (m_nodes[node].min >= x || lo + span <= from)
            return MinTree::npos;
        if (span == 1)
            return lo;
        span >>= 1;
        for (int side = 0; side < 2; ++side) {
            const std::uint32_t c = m_nodes[node].child[side];
            if (c) {
                const std::size_t found = find(c, lo + (side ? span : 0), span, from, x);
                if (found != MinTree::npos)
                    return found;
            }
        }
        return MinTree::npos;
    }

    std::size_t m_span = 1;
    std::vector<Node> m_nodes;
};

// The page column's texts by position, kept apart from the rows that move.
struct PageColumn {
    std::vector<std::uint32_t> index; // by position into texts; 0 is ""
    std::vector<std::string> texts{std::string()};

    PageColumn(const ListDocument &doc, int first, std::size_t n) : index(n, 0)
    {
        for (std::size_t p = 0; p < n; ++p) {
            const std::string_view t = doc.cellView(0, first + static_cast<int>(p));
            if (!t.empty()) {
                index[p] = static_cast<std::uint32_t>(texts.size());
                texts.emplace_back(t);
            }
        }
    }
    std::string_view at(std::size_t p) const { return texts[index[p]]; }
};

// The rows being sorted as positions 0..n-1 holding contents (original rows).
class Plan {
public:
    virtual ~Plan() = default;
    // Runs outer step i (a position) and returns the position exchanged with it.
    virtual std::size_t step(std::size_t i) = 0;
};

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

Ranking rankKeys(const KeyStore &keys, bool byMarks = false)
{
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

// Keys that do not depend on where a row stands. The steps take the ranks in
// order (backwards: from the greatest); among equal keys the leftmost row
// wins, and a group's winner comes from the scan the selection sort makes
// over the group's members.
//
// When the page column is a key column and its texts differ, a row's key
// depends on where it stands, but only from its first page cell on. The
// ranking then uses each row's key with an empty page cell and keeps apart
// (in marked groups) the rows whose order can turn on the page cells; those
// are scanned with the keys they have where they stand.
class RankedPlan final : public Plan {
public:
    RankedPlan(const ListDocument &doc, const SortOptions &options, int first, int end, std::vector<int> &perm,
               const PageColumn &pages, bool pageKey)
        : m_doc(doc), m_options(options), m_first(first), m_pages(pages), m_pageKey(pageKey),
          m_fixedPage(pageKey ? std::string_view() : pages.at(0)), m_perm(perm)
    {
        const std::size_t n = static_cast<std::size_t>(end - first);
        m_keys.reserve(n, n * 96);
        for (std::size_t c = 0; c < n; ++c)
            m_keys.addRow(doc, options, first + static_cast<int>(c), m_fixedPage);
        m_ranking = rankKeys(m_keys, pageKey);
        m_pagesNumbered = pageKey && pagesNumbered();
        m_where.resize(n);
        for (std::size_t p = 0; p < n; ++p)
            m_where[static_cast<std::size_t>(m_perm[p])] = static_cast<std::uint32_t>(p);
        const std::size_t classes = m_ranking.classStart.size() - 1;
        m_remaining.resize(classes);
        for (std::size_t k = 0; k < classes; ++k)
            m_remaining[k] = m_ranking.classStart[k + 1] - m_ranking.classStart[k];
        m_class = options.backwards ? classes - 1 : 0;
    }

    std::size_t step(std::size_t i) override
    {
        while (m_remaining[m_class] == 0) {
            m_class += m_options.backwards ? -1 : 1;
            m_heap.clear();
            m_pagedHeap.clear();
            m_group.reset();
        }
        const std::uint32_t *members = m_ranking.order.data() + m_ranking.classStart[m_class];
        const std::size_t size = m_ranking.classStart[m_class + 1] - m_ranking.classStart[m_class];
        const int group = m_ranking.groupOfRank[m_class];
        if (group >= 0 && m_ranking.groupMarked[static_cast<std::size_t>(group)] && !m_group &&
            m_pagedHeap.empty() && m_heap.empty() && m_pagesNumbered && size > 8 && sameKeys(members, size)) {
            for (std::size_t k = 0; k < size; ++k)
                pushPosition(m_where[members[k]]);
        }
        std::size_t best;
        if (size == 1) {
            best = m_where[members[0]];
        } else if (!m_pagedHeap.empty() || (group >= 0 && !m_heap.empty())) {
            best = fromPageHeaps(i);
        } else if (group >= 0) {
            if (!m_group)
                m_group = std::make_unique<GroupScan>(*this, members, size);
            best = m_group->winner();
        } else if (size <= 32) {
            best = std::numeric_limits<std::size_t>::max();
            for (std::size_t k = 0; k < size; ++k)
                if (m_where[members[k]] >= i)
                    best = std::min<std::size_t>(best, m_where[members[k]]);
        } else {
            best = fromHeap(i, members, size);
        }
        const int moving = m_perm[i];
        if (m_group)
            m_group->exchanged(i, best);
        exchange(i, best);
        if ((!m_heap.empty() || !m_pagedHeap.empty()) && best != i &&
            m_ranking.rank[static_cast<std::size_t>(moving)] == m_class)
            pushPosition(best);
        --m_remaining[m_class];
        return best;
    }

private:
    // The selection sort's scan over one group's members. During the group's
    // steps the members only ever occupy the positions they held when its
    // first step began, so those positions are fixed slots. Once the best
    // member's run length l is known, comparing it with another member means
    // comparing both keys from the place after the best's run on (raw
    // position P + l); ranking the members' keys from there gives each length
    // its own order, and the scan jumps from one replacement to the next.
    class GroupScan {
    public:
        GroupScan(RankedPlan &plan, const std::uint32_t *members, std::size_t size) : m_plan(plan)
        {
            // A member is named by the slot it held when the group began.
            m_slotPos.reserve(size);
            for (std::size_t k = 0; k < size; ++k)
                m_slotPos.push_back(plan.m_where[members[k]]);
            std::sort(m_slotPos.begin(), m_slotPos.end());
            m_memberAt.resize(size);
            if (size <= SmallGroup) {
                // Few members: the plain scan costs less than ranking them.
                m_literal = true;
                m_raw.reserve(size);
                m_alive.reserve(size);
                for (std::size_t s = 0; s < size; ++s) {
                    m_memberAt[s] = s;
                    m_raw.push_back(plan.rawKey(static_cast<std::uint32_t>(plan.m_perm[m_slotPos[s]]), m_slotPos[s]));
                    m_alive.push_back(s);
                }
                return;
            }
            const std::size_t depth = plan.m_ranking.groupDepth[static_cast<std::size_t>(
                plan.m_ranking.groupOfRank[plan.m_class])];
            m_length.resize(size);
            std::vector<std::string> raws(size);
            // The meeting runs start at the same places in every member: find
            // them from a member that kept its run there.
            std::size_t rawPos = 0, tokenPos = 0;
            bool found = false;
            for (std::size_t s = 0; s < size && !found; ++s) {
                const std::uint32_t c = static_cast<std::uint32_t>(plan.m_perm[m_slotPos[s]]);
                const std::string_view key = plan.m_keys.key(c);
                for (const KeyStore::Run *r = plan.m_keys.runsBegin(c); r != plan.m_keys.runsEnd(c); ++r) {
                    if (r->offset + numberTokenSize(static_cast<unsigned char>(key[r->offset])) == depth) {
                        rawPos = r->rawOffset;
                        tokenPos = r->offset;
                        found = true;
                        break;
                    }
                }
            }
            std::vector<std::size_t> rawMarks(size);
            std::vector<std::array<std::size_t, KeyColumnCount>> places(size);
            for (std::size_t s = 0; s < size; ++s) {
                m_memberAt[s] = s;
                const std::uint32_t c = static_cast<std::uint32_t>(plan.m_perm[m_slotPos[s]]);
                raws[s] = plan.rawKey(c, plan.m_pageKey ? std::string_view() : plan.m_fixedPage);
                places[s] = plan.pageCellPlaces(c);
                rawMarks[s] = places[s][0];
                m_length[s] = runLengthAt(plan.m_keys, c, tokenPos);
            }
            std::vector<std::uint32_t> lengths;
            for (std::uint32_t l : m_length)
                if (std::find(lengths.begin(), lengths.end(), l) == lengths.end())
                    lengths.push_back(l);
            m_lengthIndex.resize(size);
            for (std::size_t s = 0; s < size; ++s)
                m_lengthIndex[s] = static_cast<std::size_t>(std::find(lengths.begin(), lengths.end(), m_length[s]) -
                                                            lengths.begin());
            m_lengths = lengths.size();

            // Without a meeting run at the group's depth the group was made
            // by keys equal up to their page cells: scan it plainly.
            m_literal = !found || lengths.size() > MaxLengths;
            // Slots whose page cell holds a number, counted in order.
            m_pageSlot.assign(size, 0);
            std::uint32_t pageSlots = 0;
            for (std::size_t s = 0; s < size && plan.m_pageKey; ++s)
                if (!plan.m_pages.at(m_slotPos[s]).empty())
                    m_pageSlot[s] = ++pageSlots;
            std::vector<std::vector<std::uint32_t>> ranks;
            for (std::size_t li = 0; li < lengths.size() && !m_literal; ++li) {
                const std::size_t from = rawPos + lengths[li];
                KeyStore suffixes;
                for (std::size_t s = 0; s < size; ++s) {
                    const std::string_view suffix =
                        from < raws[s].size() ? std::string_view(raws[s]).substr(from) : std::string_view();
                    // The page cells' part of a suffix is marked, as in the whole keys.
                    suffixes.add(suffix, rawMarks[s] > from ? rawMarks[s] - from : 0);
                }
                const Ranking r = rankKeys(suffixes, plan.m_pageKey);
                // A class of suffixes equal but for the page cells orders by
                // the page cell where each member stands: it takes one value
                // for an empty page cell and one per numbered slot above it.
                // A class whose members meet padded runs again takes one
                // value here, and its own order below (a nest).
                const std::size_t classes = r.classStart.size() - 1;
                std::vector<std::uint64_t> base(classes);
                std::vector<int> nestOfClass(classes, -1);
                std::uint64_t next = 0;
                for (std::size_t k = 0; k < classes && !m_literal; ++k) {
                    base[k] = next++;
                    const int g = r.groupOfRank[k];
                    if (g < 0)
                        continue;
                    if (!r.groupMarked[static_cast<std::size_t>(g)]) {
                        nestOfClass[k] = buildNest(r, k, suffixes, from, raws, rawMarks, 1);
                        if (nestOfClass[k] < 0)
                            m_literal = true;
                        continue;
                    }
                    if (!plan.m_pagesNumbered || !sameSuffixes(r, k, raws, from, places)) {
                        m_literal = true;
                        break;
                    }
                    next += pageSlots;
                }
                if (m_literal || next >= MinTree::Empty)
                    break;
                std::vector<std::uint32_t> values(size);
                for (std::size_t s = 0; s < size; ++s) {
                    m_tied.push_back(r.groupOfRank[r.rank[s]] >= 0 && nestOfClass[r.rank[s]] < 0);
                    m_nestOf.push_back(nestOfClass[r.rank[s]]);
                    values[s] = static_cast<std::uint32_t>(base[r.rank[s]]);
                }
                m_top.push_back(static_cast<std::uint32_t>(next - 1));
                ranks.push_back(std::move(values));
            }
            m_literal = m_literal || ranks.size() < lengths.size();
            if (m_literal) {
                // Keys as they read where the members stand.
                if (plan.m_pageKey)
                    for (std::size_t s = 0; s < size; ++s)
                        raws[s] = plan.rawKey(static_cast<std::uint32_t>(plan.m_perm[m_slotPos[s]]), m_slotPos[s]);
                m_raw = std::move(raws);
                for (std::size_t s = 0; s < size; ++s)
                    m_alive.push_back(s);
                return;
            }
            m_rank.resize(size * m_lengths);
            m_tiedAt.resize(size * m_lengths);
            m_nestAt.resize(size * m_lengths);
            m_slotOf.resize(size);
            for (std::size_t s = 0; s < size; ++s)
                m_slotOf[s] = static_cast<std::uint32_t>(s);
            for (std::size_t li = 0; li < m_lengths; ++li) {
                for (std::size_t s = 0; s < size; ++s) {
                    m_rank[s * m_lengths + li] = ranks[li][s];
                    m_tiedAt[s * m_lengths + li] = m_tied[li * size + s];
                    m_nestAt[s * m_lengths + li] = m_nestOf[li * size + s];
                }
                std::vector<std::uint32_t> values(size);
                for (std::size_t s = 0; s < size; ++s)
                    values[s] = valueOf(s, li, s);
                m_trees.emplace_back(values);
            }
        }

        // The value member m has in the order of length li standing at slot.
        std::uint32_t valueOf(std::size_t member, std::size_t li, std::size_t slot) const
        {
            std::uint32_t v = m_rank[member * m_lengths + li];
            if (m_tiedAt[member * m_lengths + li])
                v += m_pageSlot[slot];
            return m_plan.m_options.backwards ? m_top[li] - v : v;
        }

        // The position of the member the selection sort's scan ends on.
        std::size_t winner() const
        {
            if (m_literal) {
                std::size_t best = m_alive.front();
                for (std::size_t k = 1; k < m_alive.size(); ++k)
                    if (SortEngine::CompareSortKeys(m_raw[best], m_raw[m_alive[k]], m_plan.m_options.backwards))
                        best = m_alive[k];
                return m_slotPos[best];
            }
            std::size_t best = m_trees[0].firstBelow(0, MinTree::Empty);
            for (;;) {
                const std::size_t member = m_memberAt[best];
                const std::size_t li = m_lengthIndex[member];
                std::size_t next = m_trees[li].firstBelow(best + 1, valueOf(member, li, best));
                // Members of the best's nests are ordered from the place after
                // the best's own run at each meeting.
                for (int n = m_nestAt[member * m_lengths + li]; n >= 0;) {
                    const Nest &nest = m_nests[static_cast<std::size_t>(n)];
                    const std::size_t at = nest.indexOf(member);
                    const NestLevel &level = nest.levels[nest.lengthIndex[at]];
                    next = std::min(next, firstBelow(nest, level, best + 1, level.valueOf(at, m_plan.m_options.backwards)));
                    n = level.child[at];
                }
                if (next == MinTree::npos)
                    break;
                best = next;
            }
            return m_slotPos[best];
        }

        // Before the plan exchanges position i with the winner's position.
        void exchanged(std::size_t i, std::size_t winnerPos)
        {
            const std::size_t winnerSlot = slotOf(winnerPos);
            const std::size_t si = slotOf(i);
            const bool memberAtI = si < m_slotPos.size() && m_slotPos[si] == i && alive(si);
            const std::size_t winner = m_memberAt[winnerSlot];
            if (memberAtI && i != winnerPos) {
                // The member at i moves into the winner's slot; i is placed.
                const std::size_t member = m_memberAt[si];
                m_memberAt[winnerSlot] = member;
                if (!m_literal) {
                    m_slotOf[winner] = Gone;
                    m_slotOf[member] = static_cast<std::uint32_t>(winnerSlot);
                }
                if (m_literal) {
                    if (m_plan.m_pageKey && m_plan.m_pages.at(i) != m_plan.m_pages.at(winnerPos))
                        m_raw[winnerSlot] = m_plan.rawKey(static_cast<std::uint32_t>(m_plan.m_perm[i]), winnerPos);
                    else
                        m_raw[winnerSlot] = std::move(m_raw[si]);
                    kill(si);
                } else {
                    for (std::size_t li = 0; li < m_lengths; ++li) {
                        m_trees[li].set(winnerSlot, valueOf(member, li, winnerSlot));
                        m_trees[li].set(si, MinTree::Empty);
                    }
                    forEachNestTree(winner, [&](SparseMinTree &t, std::uint32_t) { t.set(winnerSlot, MinTree::Empty); });
                    forEachNestTree(member, [&](SparseMinTree &t, std::uint32_t v) {
                        t.set(si, MinTree::Empty);
                        t.set(winnerSlot, v);
                    });
                }
            } else if (m_literal) {
                kill(winnerSlot);
            } else {
                m_slotOf[winner] = Gone;
                for (auto &t : m_trees)
                    t.set(winnerSlot, MinTree::Empty);
                forEachNestTree(winner, [&](SparseMinTree &t, std::uint32_t) { t.set(winnerSlot, MinTree::Empty); });
            }
        }

    private:
        // Members that meet padded runs again past the group's meeting place
        // (one class of one length's order): from the place after the best's
        // run at that second meeting, each length orders them anew.
        struct NestLevel {
            std::vector<std::uint32_t> value; // by index in the nest
            std::vector<int> child;           // by index in the nest: the nest one level down, or -1
            std::uint32_t top = 0;
            std::unique_ptr<SparseMinTree> tree; // by slot; none for a few members
            std::uint32_t valueOf(std::size_t at, bool backwards) const
            {
                return backwards ? top - value[at] : value[at];
            }
        };
        struct Nest {
            std::vector<std::uint32_t> members; // ascending
            std::vector<std::size_t> lengthIndex;
            std::vector<NestLevel> levels;      // by length index
            std::size_t indexOf(std::size_t member) const
            {
                return static_cast<std::size_t>(
                    std::lower_bound(members.begin(), members.end(), static_cast<std::uint32_t>(member)) -
                    members.begin());
            }
        };

        // The first slot at or after `from` holding a member of the nest
        // whose value in `level` is below x.
        std::size_t firstBelow(const Nest &nest, const NestLevel &level, std::size_t from, std::uint32_t x) const
        {
            if (level.tree)
                return level.tree->firstBelow(from, x);
            std::size_t found = MinTree::npos;
            for (std::size_t a = 0; a < nest.members.size(); ++a) {
                const std::uint32_t slot = m_slotOf[nest.members[a]];
                if (slot != Gone && slot >= from && slot < found && level.valueOf(a, m_plan.m_options.backwards) < x)
                    found = slot;
            }
            return found;
        }

        // Nests of up to this many members are searched member by member.
        static constexpr std::size_t SmallNest = 32;
        static constexpr std::uint32_t Gone = std::numeric_limits<std::uint32_t>::max();
        // Deeper nests, or nests needing more tree nodes than this (200 MB),
        // are scanned plainly.
        static constexpr int MaxNestDepth = 16;
        static constexpr std::size_t MaxNestNodes = std::size_t(1) << 24;

        // Builds the nest of class k of `r` (the order of the suffixes from
        // raw place `from`, whose key ids index `ids`, or are the members
        // themselves); returns its index, or -1 for the plain scan.
        int buildNest(const Ranking &r, std::size_t k, const KeyStore &suffixes, std::size_t from,
                      const std::vector<std::string> &raws, const std::vector<std::size_t> &rawMarks, int depth,
                      const std::vector<std::uint32_t> *ids = nullptr)
        {
            if (depth > MaxNestDepth)
                return -1;
            // The second meeting's runs start at one place in every member;
            // a member that kept its run there tells where.
            const std::size_t tokenEnd = r.groupDepth[static_cast<std::size_t>(r.groupOfRank[k])];
            std::size_t meet = std::string_view::npos;
            std::vector<std::uint32_t> members;
            for (std::uint32_t t = r.classStart[k]; t < r.classStart[k + 1]; ++t) {
                const std::uint32_t id = r.order[t];
                members.push_back(ids ? (*ids)[id] : id);
                const std::string_view key = suffixes.key(id);
                for (const KeyStore::Run *run = suffixes.runsBegin(id);
                     run != suffixes.runsEnd(id) && meet == std::string_view::npos; ++run)
                    if (run->offset + numberTokenSize(static_cast<unsigned char>(key[run->offset])) == tokenEnd)
                        meet = from + run->rawOffset;
            }
            if (meet == std::string_view::npos)
                return -1;
            return buildNestAt(std::move(members), meet, raws, rawMarks, depth);
        }

        // `members` (ids of the group's members, as in `raws`) meet runs of
        // equal value at raw place `meet`.
        int buildNestAt(std::vector<std::uint32_t> members, std::size_t meet, const std::vector<std::string> &raws,
                        const std::vector<std::size_t> &rawMarks, int depth)
        {
            std::sort(members.begin(), members.end());
            const std::size_t n = members.size();
            std::vector<std::uint32_t> lengths;
            std::vector<std::size_t> lengthIndex(n);
            for (std::size_t a = 0; a < n; ++a) {
                const std::string &raw = raws[members[a]];
                std::uint32_t l = 0;
                while (meet + l < raw.size() && isDigit(static_cast<unsigned char>(raw[meet + l])))
                    ++l;
                if (l == 0)
                    return -1;
                const auto it = std::find(lengths.begin(), lengths.end(), l);
                lengthIndex[a] = static_cast<std::size_t>(it - lengths.begin());
                if (it == lengths.end())
                    lengths.push_back(l);
            }
            if (lengths.size() > MaxLengths)
                return -1;
            std::size_t span = 1;
            while (span < m_slotPos.size())
                span <<= 1;
            // A tree holds a node per member and level; a few members, a value.
            std::size_t levelsDepth = 1;
            for (std::size_t t = span; t > 1 && n > SmallNest; t >>= 1)
                ++levelsDepth;
            m_nestNodes += lengths.size() * n * levelsDepth;
            if (m_nestNodes > MaxNestNodes)
                return -1;
            Nest nest;
            nest.members = members;
            nest.lengthIndex = std::move(lengthIndex);
            for (std::uint32_t l : lengths) {
                const std::size_t from = meet + l;
                KeyStore suffixes;
                for (std::uint32_t m : members) {
                    const std::string_view suffix =
                        from < raws[m].size() ? std::string_view(raws[m]).substr(from) : std::string_view();
                    suffixes.add(suffix, rawMarks[m] > from ? rawMarks[m] - from : 0);
                }
                const Ranking r = rankKeys(suffixes, m_plan.m_pageKey);
                const std::size_t classes = r.classStart.size() - 1;
                std::vector<int> childOfClass(classes, -1);
                for (std::size_t k = 0; k < classes; ++k) {
                    const int g = r.groupOfRank[k];
                    if (g < 0)
                        continue;
                    // Equal up to the page cells: scan plainly.
                    if (r.groupMarked[static_cast<std::size_t>(g)])
                        return -1;
                    const int child = buildNest(r, k, suffixes, from, raws, rawMarks, depth + 1, &members);
                    if (child < 0)
                        return -1;
                    childOfClass[k] = child;
                }
                NestLevel level;
                if (n > SmallNest)
                    level.tree = std::make_unique<SparseMinTree>(span);
                level.top = static_cast<std::uint32_t>(classes - 1);
                level.value.resize(n);
                level.child.resize(n);
                for (std::size_t a = 0; a < n; ++a) {
                    level.value[a] = r.rank[a];
                    level.child[a] = childOfClass[r.rank[a]];
                }
                // At the start member m stands in slot m.
                for (std::size_t a = 0; a < n && level.tree; ++a)
                    level.tree->set(members[a], level.valueOf(a, m_plan.m_options.backwards));
                nest.levels.push_back(std::move(level));
            }
            m_nests.push_back(std::move(nest));
            return static_cast<int>(m_nests.size() - 1);
        }

        // Calls fn(tree, value) for every nest tree that holds `member`.
        template <typename Fn>
        void forEachNestTree(std::size_t member, Fn fn)
        {
            if (m_nests.empty())
                return;
            for (std::size_t li = 0; li < m_lengths; ++li)
                forEachInNest(m_nestAt[member * m_lengths + li], member, fn);
        }
        template <typename Fn>
        void forEachInNest(int n, std::size_t member, Fn &fn)
        {
            if (n < 0)
                return;
            Nest &nest = m_nests[static_cast<std::size_t>(n)];
            const std::size_t at = nest.indexOf(member);
            for (NestLevel &level : nest.levels) {
                if (level.tree)
                    fn(*level.tree, level.valueOf(at, m_plan.m_options.backwards));
                forEachInNest(level.child[at], member, fn);
            }
        }

        // True when the suffixes (from `from`) of class k's members are equal.
        // ... and their page cells begin at the same places.
        static bool sameSuffixes(const Ranking &r, std::size_t k, const std::vector<std::string> &raws,
                                 std::size_t from, const std::vector<std::array<std::size_t, KeyColumnCount>> &places)
        {
            const auto suffix = [&](std::uint32_t s) {
                return from < raws[s].size() ? std::string_view(raws[s]).substr(from) : std::string_view();
            };
            const std::uint32_t head = r.order[r.classStart[k]];
            if (places[head][0] == std::string_view::npos || places[head][0] < from)
                return false;
            for (std::uint32_t t = r.classStart[k] + 1; t < r.classStart[k + 1]; ++t)
                if (suffix(r.order[t]) != suffix(head) || places[r.order[t]] != places[head])
                    return false;
            return true;
        }

        std::size_t slotOf(std::size_t pos) const
        {
            return static_cast<std::size_t>(std::lower_bound(m_slotPos.begin(), m_slotPos.end(), pos) -
                                            m_slotPos.begin());
        }
        bool alive(std::size_t slot) const
        {
            if (m_literal)
                return std::binary_search(m_alive.begin(), m_alive.end(), slot);
            return m_trees[0].at(slot) != MinTree::Empty;
        }
        void kill(std::size_t slot)
        {
            const auto it = std::lower_bound(m_alive.begin(), m_alive.end(), slot);
            if (it != m_alive.end() && *it == slot)
                m_alive.erase(it);
        }

        RankedPlan &m_plan;
        std::vector<std::size_t> m_slotPos;       // the group's positions, ascending
        std::vector<std::size_t> m_memberAt;      // by slot: the member there now
        std::vector<std::uint32_t> m_length;      // by member: its run length at the meeting place
        std::vector<std::size_t> m_lengthIndex;   // by member
        std::size_t m_lengths = 0;
        std::vector<std::uint32_t> m_rank;        // by member and length index
        std::vector<char> m_tiedAt;               // by member and length index: ordered by page cell
        std::vector<char> m_tied;                 // by length index and member, while building
        std::vector<std::uint32_t> m_top;         // by length index: the greatest value
        std::vector<std::uint32_t> m_pageSlot;    // by slot: 0, or the count of numbered slots up to it
        std::vector<int> m_nestAt;                // by member and length index: its nest, or -1
        std::vector<int> m_nestOf;                // by length index and member, while building
        std::vector<Nest> m_nests;
        std::size_t m_nestNodes = 0;
        std::vector<std::uint32_t> m_slotOf;      // by member: its slot now, or Gone
        std::vector<MinTree> m_trees;             // by length index: the rank of the member at each slot
        bool m_literal = false;
        std::vector<std::string> m_raw;           // plain scan: raw keys by slot
        std::vector<std::size_t> m_alive;         // plain scan: live slots, ascending
    };

    // Groups up to this size are scanned plainly.
    static constexpr std::size_t SmallGroup = 8;
    // More lengths at one meeting place than this are scanned plainly.
    static constexpr std::size_t MaxLengths = 24;

    std::string rawKey(std::uint32_t content, std::string_view pageText) const
    {
        std::string raw;
        appendKey(raw, m_doc, m_options, m_first + static_cast<int>(content), pageText);
        return raw;
    }
    std::string rawKey(std::uint32_t content, std::size_t pos) const
    {
        return rawKey(content, m_pageKey ? m_pages.at(pos) : m_fixedPage);
    }
    // The raw length of a row's key before its first page cell.
    std::size_t rawMark(std::uint32_t content) const { return pageCellPlaces(content)[0]; }
    // Where each page cell begins in a row's key with empty page cells.
    std::array<std::size_t, KeyColumnCount> pageCellPlaces(std::uint32_t content) const
    {
        std::array<std::size_t, KeyColumnCount> places;
        places.fill(std::string_view::npos);
        std::size_t length = 0, count = 0;
        for (int k = 0; k < KeyColumnCount; ++k) {
            const int c = m_options.keyColumns[static_cast<std::size_t>(k)];
            if (k > 0)
                length += 3;
            if (c == 0)
                places[count++] = length;
            else
                length += m_doc.cellView(c, m_first + static_cast<int>(content)).size();
        }
        return places;
    }

    // Page cells as the page numbering writes them: empty, or a blank and a
    // number without leading zeros, rising down the list. Rows with equal keys
    // apart from the page cells then order by where they stand.
    bool pagesNumbered() const
    {
        double last = -1;
        for (std::size_t p = 0; p < m_pages.index.size(); ++p) {
            const std::string_view t = m_pages.at(p);
            if (t.empty())
                continue;
            if (t.size() < 2 || t.size() > 16 || t[0] != ' ' || t[1] == '0' ||
                !std::all_of(t.begin() + 1, t.end(), [](char ch) { return isDigit(static_cast<unsigned char>(ch)); }))
                return false;
            const double v = SortEngine::runValue(t.data() + 1, t.size() - 1);
            if (v <= last)
                return false;
            last = v;
        }
        return true;
    }
    // Equal keys, with the page cells at the same places.
    bool sameKeys(const std::uint32_t *members, std::size_t size) const
    {
        const std::string first = rawKey(members[0], std::string_view());
        const auto places = pageCellPlaces(members[0]);
        for (std::size_t k = 1; k < size; ++k)
            if (rawKey(members[k], std::string_view()) != first || pageCellPlaces(members[k]) != places)
                return false;
        return true;
    }

    // Equal keys but for the page cells: an empty page cell orders first
    // (the leftmost such row wins), then page numbers by value.
    void pushPosition(std::size_t pos)
    {
        const std::uint32_t p = static_cast<std::uint32_t>(pos);
        if (!m_pageKey || m_pages.at(pos).empty()) {
            m_heap.push_back(p);
            std::push_heap(m_heap.begin(), m_heap.end(), std::greater<>());
        } else {
            m_pagedHeap.push_back(p);
            pushPaged();
        }
    }
    void pushPaged()
    {
        if (m_options.backwards)
            std::push_heap(m_pagedHeap.begin(), m_pagedHeap.end(), std::less<>());
        else
            std::push_heap(m_pagedHeap.begin(), m_pagedHeap.end(), std::greater<>());
    }
    void popPaged()
    {
        if (m_options.backwards)
            std::pop_heap(m_pagedHeap.begin(), m_pagedHeap.end(), std::less<>());
        else
            std::pop_heap(m_pagedHeap.begin(), m_pagedHeap.end(), std::greater<>());
        m_pagedHeap.pop_back();
    }
    bool current(std::size_t pos, std::size_t i) const
    {
        return pos >= i && m_ranking.rank[static_cast<std::size_t>(m_perm[pos])] == m_class;
    }
    std::size_t fromPageHeaps(std::size_t i)
    {
        while (!m_heap.empty() && !current(m_heap.front(), i)) {
            std::pop_heap(m_heap.begin(), m_heap.end(), std::greater<>());
            m_heap.pop_back();
        }
        while (!m_pagedHeap.empty() && !current(m_pagedHeap.front(), i))
            popPaged();
        // Backwards the greatest page number wins over the empty page cells.
        if (m_heap.empty() || (m_options.backwards && !m_pagedHeap.empty()))
            return m_pagedHeap.front();
        return m_heap.front();
    }

    std::size_t fromHeap(std::size_t i, const std::uint32_t *members, std::size_t size)
    {
        if (m_heap.empty()) {
            for (std::size_t k = 0; k < size; ++k)
                if (m_where[members[k]] >= i)
                    m_heap.push_back(m_where[members[k]]);
            std::make_heap(m_heap.begin(), m_heap.end(), std::greater<>());
        }
        for (;;) {
            const std::size_t pos = m_heap.front();
            if (pos >= i && m_ranking.rank[static_cast<std::size_t>(m_perm[pos])] == m_class)
                return pos;
            std::pop_heap(m_heap.begin(), m_heap.end(), std::greater<>());
            m_heap.pop_back();
        }
    }

    void exchange(std::size_t i, std::size_t j)
    {
        if (i == j)
            return;
        std::swap(m_perm[i], m_perm[j]);
        m_where[static_cast<std::size_t>(m_perm[i])] = static_cast<std::uint32_t>(i);
        m_where[static_cast<std::size_t>(m_perm[j])] = static_cast<std::uint32_t>(j);
    }

    const ListDocument &m_doc;
    const SortOptions &m_options;
    int m_first;
    const PageColumn &m_pages;
    bool m_pageKey;
    std::string_view m_fixedPage; // the page text in the ranked keys
    bool m_pagesNumbered = false;
    std::vector<int> &m_perm;
    KeyStore m_keys;
    Ranking m_ranking;
    std::vector<std::uint32_t> m_where; // by content
    std::vector<std::uint32_t> m_remaining;
    std::size_t m_class = 0;
    std::vector<std::uint32_t> m_heap;      // positions of the current class, lazily pruned
    std::vector<std::uint32_t> m_pagedHeap; // ... those with a page number, for equal keys
    std::unique_ptr<GroupScan> m_group;
};

// Writes the contents to their new positions; the page column stays.
void applyPermutation(ListDocument &doc, int first, const std::vector<int> &perm, const PageColumn &pages)
{
    // Rows whose page cell must change are built first, so that a failure
    // leaves the document as it was.
    std::vector<std::pair<int, CellRow>> repaged;
    for (std::size_t p = 0; p < perm.size(); ++p) {
        const std::size_t from = static_cast<std::size_t>(perm[p]);
        if (pages.index[p] != pages.index[from] && pages.at(p) != pages.at(from))
            repaged.emplace_back(first + static_cast<int>(p),
                                 doc.rowAt(first + perm[p]).withCell(0, pages.at(p)));
    }
    doc.permuteRows(first, perm);
    for (auto &[row, cells] : repaged)
        doc.setRowAt(row, std::move(cells));
}

} // namespace

double SortEngine::runValue(const char *digits, std::size_t length)
{
    while (length > 0 && *digits == '0') {
        ++digits;
        --length;
    }
    if (length <= 19) {
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < length; ++i)
            v = v * 10 + static_cast<std::uint64_t>(digits[i] - '0');
        // Both this and strtod round the exact value to the nearest double.
        return static_cast<double>(v);
    }
    if (length > 400)
        return std::numeric_limits<double>::infinity();
    const std::string text(digits, length);
    return std::strtod(text.c_str(), nullptr);
}

std::string SortEngine::BuildSortKey(const ListDocument &doc, const SortOptions &options, int row)
{
    std::string key;
    appendKey(key, doc, options, row, doc.cellView(0, row));
    return key;
}

bool SortEngine::CompareSortKeys(std::string_view best, std::string_view candidate, bool backwards)
{
    const std::size_t lb = best.size(), lc = candidate.size();
    std::size_t b = 0; // 0-based position
    bool digitTest = true;
    while (b < lb && b < lc) {
        const unsigned char x = static_cast<unsigned char>(best[b]);
        const unsigned char y = static_cast<unsigned char>(candidate[b]);
        if (digitTest && isDigit(x) && isDigit(y)) {
            std::size_t eb = b, ec = b;
            while (eb < lb && isDigit(static_cast<unsigned char>(best[eb])))
                ++eb;
            while (ec < lc && isDigit(static_cast<unsigned char>(candidate[ec])))
                ++ec;
            const double vb = runValue(best.data() + b, eb - b);
            const double vc = runValue(candidate.data() + b, ec - b);
            if (vc < vb)
                return !backwards;
            if (vc > vb)
                return backwards;
            b = eb;
            digitTest = false;
            continue;
        }
        digitTest = true;
        const signed char sx = static_cast<signed char>(x), sy = static_cast<signed char>(y);
        if (sx < sy)
            return backwards;
        if (sx > sy)
            return !backwards;
        ++b;
    }
    const bool bestEnded = b >= lb, candidateEnded = b >= lc;
    if (backwards)
        return bestEnded && !candidateEnded;
    return candidateEnded && !bestEnded;
}

void SortEngine::SwapGridRows(ListDocument &doc, int a, int b)
{
    if (a == b || a < 0 || b < 0 || a >= doc.RowCount() || b >= doc.RowCount())
        return;
    CellRow ra = doc.rowAt(a), rb = doc.rowAt(b);
    const std::string_view pa = ra.cell(0), pb = rb.cell(0);
    CellRow na = pa == pb ? rb : rb.withCell(0, pa);
    CellRow nb = pa == pb ? ra : ra.withCell(0, pb);
    doc.setRowAt(a, std::move(na));
    doc.setRowAt(b, std::move(nb));
}

bool SortEngine::SortGrid(ListDocument &doc, const SortOptions &options, int first, int end,
                          const ProgressPoint &progress)
{
    first = std::max(first, 0);
    end = std::min(end, doc.RowCount());
    if (end - first < 2) {
        return true;
    }
    const std::size_t n = static_cast<std::size_t>(end - first);
    std::vector<int> perm(n);
    for (std::size_t p = 0; p < n; ++p)
        perm[p] = static_cast<int>(p);

    // Keys move with the page column only when it is a key column and its
    // texts differ within the range.
    const PageColumn pages(doc, first, n);
    bool pageKey = std::find(options.keyColumns.begin(), options.keyColumns.end(), 0) != options.keyColumns.end();
    if (pageKey) {
        std::size_t p = 1;
        while (p < n && pages.at(p) == pages.at(0))
            ++p;
        pageKey = p < n;
    }
    const std::unique_ptr<Plan> plan = std::make_unique<RankedPlan>(doc, options, first, end, perm, pages, pageKey);

    bool finished = true;
    try {
        for (int i = first; i < end - 1; ++i) {
            if (i % 5 == 0 && progress && !progress(i)) {
                finished = false;
                break;
            }
            plan->step(static_cast<std::size_t>(i - first));
        }
    } catch (...) {
        // The exchanges made before the failure stay, as they would row by row.
        try {
            applyPermutation(doc, first, perm, pages);
        } catch (...) {
        }
        throw;
    }
    applyPermutation(doc, first, perm, pages);
    return finished;
}

} // namespace quorvex
