#pragma once

#include "SortEngine.h"
#include "SortKeyText.h"
#include "document/core/ListDocument.h"
#include "platform/core/LargePages.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex::sorting {

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
    // `unsignedBytes` normalises for the unsigned byte order of UTF-8 keys.
    explicit KeyStore(bool allRuns = false, bool unsignedBytes = false)
        : m_allRuns(allRuns), m_unsigned(unsignedBytes)
    {
    }

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
        // UTF-8 keys fold case character by character instead of lowering.
        const bool fold = lower && m_unsigned;
        // Offsets are kept in 32 bits; a run token is at most twice its
        // digits, and a folded byte at most three (a stray byte becomes U+FFFD).
        const std::size_t growth = fold ? 3 : 2;
        if (rawLength > std::numeric_limits<std::uint32_t>::max() / 3)
            throw std::length_error("sort key too long");
        if (m_capacity - m_size < growth * rawLength + 16)
            grow(growth * rawLength + 16);
        const unsigned char *map = m_unsigned ? (lower ? byteMaps.unsignedLowered : byteMaps.unsignedPlain)
                                              : (lower ? byteMaps.lowered : byteMaps.plain);
        const unsigned char markerBase = m_unsigned ? 0x30 : 0xB0;
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
                    if (fold && *p >= 0x80) {
                        // Folding may change a character's length.
                        const unsigned char *const segment = reinterpret_cast<const unsigned char *>(segments[i].data());
                        std::size_t pos = static_cast<std::size_t>(p - segment);
                        unsigned char *const at = out;
                        out = writeFoldedCharacter(out, segments[i], pos);
                        p = segment + pos;
                        rawPos += static_cast<std::size_t>(out - at);
                        continue;
                    }
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
                out = writeNumberToken(out, SortEngine::runValue(reinterpret_cast<const char *>(p), len), markerBase);
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
    bool m_unsigned;
    LargePages::Array<unsigned char> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    std::vector<std::size_t> m_starts{0};
    std::vector<Run> m_runs;
    std::vector<std::size_t> m_runStarts{0};
    std::vector<std::size_t> m_marks;
};

// The run length of the number token at `offset` of a key.
std::uint32_t runLengthAt(const KeyStore &keys, std::uint32_t id, std::size_t offset);


} // namespace quorvex::sorting
