#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvex {

// Buffered writing of a list file. A failed write throws std::system_error.
class BinaryOutStream {
public:
    static constexpr std::size_t BufferSize = 1 << 20;

    BinaryOutStream();
    ~BinaryOutStream();
    BinaryOutStream(const BinaryOutStream &) = delete;
    BinaryOutStream &operator=(const BinaryOutStream &) = delete;

    // Takes ownership of an open file descriptor, or only writes to it when
    // `owned` is false (its owner syncs and closes it).
    void attach(int fd, bool owned = true);
    // Writes what is buffered; an owned descriptor is synced and closed.
    void finish();
    // Closes without flushing what is buffered (the file is discarded anyway).
    void abandon();
    bool isOpen() const { return m_fd >= 0; }

    void write(const void *data, std::size_t count);
    void write(std::string_view bytes) { write(bytes.data(), bytes.size()); }
    void writeInt32(std::int32_t v);
    void writeUInt32(std::uint32_t v);
    void writeUInt8(std::uint8_t v);
    void writeFloat64(double v);
    void flush();
    std::uint64_t bytesWritten() const { return m_written; }

private:
    int m_fd = -1;
    bool m_owned = true;
    unsigned char *m_buffer = nullptr;
    std::size_t m_used = 0;
    std::uint64_t m_written = 0;
};

} // namespace quorvex
