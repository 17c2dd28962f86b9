#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorvex {

// Buffered reading of a list file, from a file descriptor or from memory.
// Every read that runs past the end throws TruncatedInput; `remaining()` lets
// readers check a length against what the file can still hold before they
// allocate anything for it.
class BinaryInStream {
public:
    static constexpr std::size_t BufferSize = 1 << 20;

    BinaryInStream();
    ~BinaryInStream();
    BinaryInStream(const BinaryInStream &) = delete;
    BinaryInStream &operator=(const BinaryInStream &) = delete;

    // False when the file cannot be opened for reading or is not a regular file.
    bool open(const std::string &path);
    // Reads from bytes the caller keeps alive.
    void openMemory(const void *data, std::size_t size);
    void close();
    bool isOpen() const { return m_fd >= 0 || m_memory != nullptr; }

    // Back to the first byte.
    void rewind();
    std::uint64_t size() const { return m_size; }
    std::uint64_t position() const { return m_position; }
    std::uint64_t remaining() const { return m_size - m_position; }

    // Reads up to `count` bytes; returns how many were there.
    std::size_t readSome(void *data, std::size_t count);
    // Reads exactly `count` bytes or throws TruncatedInput.
    void read(void *data, std::size_t count);
    void appendTo(std::string &out, std::size_t count);
    std::int32_t readInt32();
    std::uint32_t readUInt32();
    std::uint8_t readUInt8();
    double readFloat64();
    // Reads one byte; -1 at the end.
    int get();
    // The next byte without taking it; -1 at the end.
    int peek();
    // Discards `count` bytes (fewer at the end of the file).
    void skip(std::uint64_t count);

private:
    bool fill();

    int m_fd = -1;
    const unsigned char *m_memory = nullptr;
    unsigned char *m_buffer = nullptr;
    const unsigned char *m_cur = nullptr;
    const unsigned char *m_end = nullptr;
    std::uint64_t m_size = 0;
    std::uint64_t m_position = 0;
    std::uint64_t m_fileOffset = 0; // file offset of m_end
};

// Thrown when a list file ends before a field it must hold.
struct TruncatedInput {
};

} // namespace quorvex
