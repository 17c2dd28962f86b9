#include "CellRow.h"

#include "platform/core/LargePages.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace quorvex {

namespace {

// Arena pieces: aligned to their size, so a block finds its piece from its
// own address, and advised as one large page each.
constexpr std::size_t PieceSize = LargePages::Size;
constexpr std::size_t PieceHeader = 64;
constexpr std::size_t LargestPieceBlock = PieceSize / 16;
// Set in a block's reference count when the block lives in a piece.
constexpr std::uint32_t InPiece = 0x80000000u;

// The rows alive in a piece, plus one while an arena still fills it.
std::size_t &liveRows(unsigned char *piece)
{
    return *reinterpret_cast<std::size_t *>(piece);
}

unsigned char *pieceOf(const void *block)
{
    return reinterpret_cast<unsigned char *>(reinterpret_cast<std::uintptr_t>(block) & ~(PieceSize - 1));
}

void dropPiece(unsigned char *piece) noexcept
{
    if (--liveRows(piece) == 0)
        std::free(piece);
}

} // namespace

CellRow::Arena::~Arena()
{
    if (m_piece)
        dropPiece(m_piece);
}

void *CellRow::Arena::allocate(std::size_t bytes)
{
    bytes = (bytes + 7) & ~std::size_t(7);
    if (bytes > LargestPieceBlock)
        return nullptr;
    if (!m_piece || PieceSize - m_used < bytes) {
        void *fresh = LargePages::allocate(PieceSize);
        if (!fresh)
            return nullptr;
        if (m_piece)
            dropPiece(m_piece);
        m_piece = static_cast<unsigned char *>(fresh);
        liveRows(m_piece) = 1;
        m_used = PieceHeader;
    }
    void *block = m_piece + m_used;
    m_used += bytes;
    ++liveRows(m_piece);
    return block;
}

void CellRow::Arena::releasePiece(const void *block) noexcept
{
    dropPiece(pieceOf(block));
}

// Layout: header, then `count` end offsets, then the concatenated bytes.
struct CellRow::Block {
    std::uint32_t refs; // InPiece set for a block of an arena
    std::uint32_t count;

    std::uint32_t *ends() noexcept { return reinterpret_cast<std::uint32_t *>(this + 1); }
    const std::uint32_t *ends() const noexcept { return reinterpret_cast<const std::uint32_t *>(this + 1); }
    const char *bytes() const noexcept { return reinterpret_cast<const char *>(ends() + count); }
    char *bytes() noexcept { return reinterpret_cast<char *>(ends() + count); }
    std::size_t size() const noexcept { return count ? ends()[count - 1] : 0; }
};

CellRow::CellRow(const CellRow &other) noexcept : m_block(other.m_block)
{
    if (m_block)
        ++m_block->refs;
}

CellRow::CellRow(CellRow &&other) noexcept : m_block(other.m_block)
{
    other.m_block = nullptr;
}

CellRow &CellRow::operator=(const CellRow &other) noexcept
{
    if (m_block != other.m_block) {
        if (other.m_block)
            ++other.m_block->refs;
        release();
        m_block = other.m_block;
    }
    return *this;
}

CellRow &CellRow::operator=(CellRow &&other) noexcept
{
    if (this != &other) {
        release();
        m_block = other.m_block;
        other.m_block = nullptr;
    }
    return *this;
}

CellRow::~CellRow()
{
    release();
}

void CellRow::release() noexcept
{
    if (m_block && ((--m_block->refs) & ~InPiece) == 0) {
        if (m_block->refs & InPiece)
            Arena::releasePiece(m_block);
        else
            std::free(m_block);
    }
    m_block = nullptr;
}

CellRow CellRow::build(std::size_t count, const std::string_view *cells, Arena *arena)
{
    while (count > 0 && cells[count - 1].empty())
        --count;
    if (count == 0)
        return CellRow();
    std::size_t total = 0;
    for (std::size_t i = 0; i < count; ++i) {
        total += cells[i].size();
        if (total > std::numeric_limits<std::uint32_t>::max())
            throw std::length_error("row text exceeds 4 GB");
    }
    const std::size_t bytes = sizeof(Block) + count * sizeof(std::uint32_t) + total;
    void *memory = arena ? arena->allocate(bytes) : nullptr;
    const bool inPiece = memory != nullptr;
    if (!memory)
        memory = std::malloc(bytes);
    if (!memory)
        throw std::bad_alloc();
    Block *block = static_cast<Block *>(memory);
    block->refs = inPiece ? (1 | InPiece) : 1;
    block->count = static_cast<std::uint32_t>(count);
    char *out = block->bytes();
    std::uint32_t end = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (!cells[i].empty())
            std::memcpy(out + end, cells[i].data(), cells[i].size());
        end += static_cast<std::uint32_t>(cells[i].size());
        block->ends()[i] = end;
    }
    return CellRow(block);
}

CellRow CellRow::fromCells(const std::vector<std::string_view> &cells)
{
    return build(cells.size(), cells.data());
}

CellRow CellRow::fromCells(const std::vector<std::string_view> &cells, Arena &arena)
{
    return build(cells.size(), cells.data(), &arena);
}

CellRow CellRow::fromCells(const std::vector<std::string> &cells)
{
    std::vector<std::string_view> views(cells.begin(), cells.end());
    return build(views.size(), views.data());
}

int CellRow::storedCount() const noexcept
{
    return m_block ? static_cast<int>(m_block->count) : 0;
}

std::string_view CellRow::cell(int col) const noexcept
{
    if (!m_block || col < 0 || static_cast<std::uint32_t>(col) >= m_block->count)
        return {};
    const std::uint32_t begin = col == 0 ? 0 : m_block->ends()[col - 1];
    const std::uint32_t end = m_block->ends()[col];
    return std::string_view(m_block->bytes() + begin, end - begin);
}

CellRow CellRow::withCell(int col, std::string_view text) const
{
    if (col < 0)
        return *this;
    if (cell(col) == text)
        return *this;
    const std::size_t count = std::max<std::size_t>(static_cast<std::size_t>(storedCount()),
                                                    static_cast<std::size_t>(col) + 1);
    std::vector<std::string_view> cells(count);
    for (std::size_t i = 0; i < count; ++i)
        cells[i] = cell(static_cast<int>(i));
    cells[static_cast<std::size_t>(col)] = text;
    return build(count, cells.data());
}

CellRow CellRow::truncated(int count) const
{
    if (count >= storedCount())
        return *this;
    if (count <= 0)
        return CellRow();
    std::vector<std::string_view> cells(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        cells[static_cast<std::size_t>(i)] = cell(i);
    return build(cells.size(), cells.data());
}

std::size_t CellRow::heapBytes() const noexcept
{
    if (!m_block)
        return 0;
    return sizeof(Block) + m_block->count * sizeof(std::uint32_t) + m_block->size();
}

} // namespace quorvex
