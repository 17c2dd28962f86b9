#include "BinaryOutStream.h"

#include "platform/core/FileSystem.h"

#include <cerrno>
#include <cstring>
#include <system_error>
#include <unistd.h>

namespace quorvex {

BinaryOutStream::BinaryOutStream() = default;

BinaryOutStream::~BinaryOutStream()
{
    abandon();
    delete[] m_buffer;
}

void BinaryOutStream::attach(int fd, bool owned)
{
    abandon();
    if (!m_buffer)
        m_buffer = new unsigned char[BufferSize];
    m_fd = fd;
    m_owned = owned;
    m_used = 0;
    m_written = 0;
}

namespace {

void writeAll(int fd, const unsigned char *data, std::size_t size)
{
    if (!FileSystem::writeAll(fd, reinterpret_cast<const char *>(data), size))
        throw std::system_error(errno, std::generic_category(), "write");
}

} // namespace

void BinaryOutStream::flush()
{
    if (m_used > 0) {
        const std::size_t n = m_used;
        m_used = 0;
        writeAll(m_fd, m_buffer, n);
    }
}

void BinaryOutStream::finish()
{
    if (m_fd < 0)
        return;
    flush();
    if (!m_owned) {
        m_fd = -1;
        return;
    }
    if (::fsync(m_fd) != 0)
        throw std::system_error(errno, std::generic_category(), "fsync");
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        throw std::system_error(errno, std::generic_category(), "close");
}

void BinaryOutStream::abandon()
{
    if (m_fd >= 0 && m_owned)
        ::close(m_fd);
    m_fd = -1;
    m_used = 0;
}

void BinaryOutStream::write(const void *data, std::size_t count)
{
    if (count == 0)
        return;
    const unsigned char *p = static_cast<const unsigned char *>(data);
    m_written += count;
    if (count <= BufferSize - m_used) {
        std::memcpy(m_buffer + m_used, p, count);
        m_used += count;
        return;
    }
    flush();
    if (count >= BufferSize) {
        writeAll(m_fd, p, count);
        return;
    }
    std::memcpy(m_buffer, p, count);
    m_used = count;
}

void BinaryOutStream::writeUInt32(std::uint32_t v)
{
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    write(b, 4);
}

void BinaryOutStream::writeInt32(std::int32_t v)
{
    writeUInt32(static_cast<std::uint32_t>(v));
}

void BinaryOutStream::writeUInt8(std::uint8_t v)
{
    write(&v, 1);
}

void BinaryOutStream::writeFloat64(double v)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    unsigned char b[8];
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<unsigned char>(bits >> (8 * i));
    write(b, 8);
}

} // namespace quorvex
