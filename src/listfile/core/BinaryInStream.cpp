#include "BinaryInStream.h"

#include "platform/core/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvex {

BinaryInStream::BinaryInStream() = default;

BinaryInStream::~BinaryInStream()
{
    close();
    delete[] m_buffer;
}

bool BinaryInStream::open(const std::string &path)
{
    close();
    // A FIFO, device or folder is refused before its open could block.
    const int fd = FileSystem::openForReading(path);
    if (fd < 0)
        return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    if (!m_buffer)
        m_buffer = new unsigned char[BufferSize];
    m_fd = fd;
    m_size = static_cast<std::uint64_t>(st.st_size);
    rewind();
    return true;
}

void BinaryInStream::openMemory(const void *data, std::size_t size)
{
    close();
    m_memory = static_cast<const unsigned char *>(data);
    m_size = size;
    rewind();
}

void BinaryInStream::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_memory = nullptr;
    m_cur = m_end = nullptr;
    m_size = m_position = m_fileOffset = 0;
}

void BinaryInStream::rewind()
{
    m_position = 0;
    if (m_memory) {
        m_cur = m_memory;
        m_end = m_memory + m_size;
        m_fileOffset = m_size;
        return;
    }
    m_cur = m_end = m_buffer;
    m_fileOffset = 0;
    if (m_fd >= 0)
        ::lseek(m_fd, 0, SEEK_SET);
}

bool BinaryInStream::fill()
{
    if (m_fd < 0 || m_fileOffset >= m_size)
        return false;
    for (;;) {
        const ssize_t n = ::read(m_fd, m_buffer, BufferSize);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // The file shrank under us: what is left counts as missing.
            m_size = m_fileOffset;
            return false;
        }
        m_cur = m_buffer;
        m_end = m_buffer + n;
        m_fileOffset += static_cast<std::uint64_t>(n);
        return true;
    }
}

std::size_t BinaryInStream::readSome(void *data, std::size_t count)
{
    unsigned char *out = static_cast<unsigned char *>(data);
    std::size_t done = 0;
    while (done < count) {
        if (m_cur == m_end && !fill())
            break;
        const std::size_t n = std::min(count - done, static_cast<std::size_t>(m_end - m_cur));
        std::memcpy(out + done, m_cur, n);
        m_cur += n;
        done += n;
    }
    m_position += done;
    return done;
}

void BinaryInStream::read(void *data, std::size_t count)
{
    if (count == 0)
        return;
    if (static_cast<std::size_t>(m_end - m_cur) >= count) {
        std::memcpy(data, m_cur, count);
        m_cur += count;
        m_position += count;
        return;
    }
    if (readSome(data, count) != count)
        throw TruncatedInput();
}

void BinaryInStream::appendTo(std::string &out, std::size_t count)
{
    if (count > remaining())
        throw TruncatedInput();
    while (count > 0) {
        if (m_cur == m_end && !fill())
            throw TruncatedInput();
        const std::size_t n = std::min(count, static_cast<std::size_t>(m_end - m_cur));
        out.append(reinterpret_cast<const char *>(m_cur), n);
        m_cur += n;
        m_position += n;
        count -= n;
    }
}

std::int32_t BinaryInStream::readInt32()
{
    return static_cast<std::int32_t>(readUInt32());
}

std::uint32_t BinaryInStream::readUInt32()
{
    unsigned char b[4];
    read(b, 4);
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

std::uint8_t BinaryInStream::readUInt8()
{
    unsigned char b;
    read(&b, 1);
    return b;
}

double BinaryInStream::readFloat64()
{
    unsigned char b[8];
    read(b, 8);
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | b[i];
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

int BinaryInStream::get()
{
    if (m_cur == m_end && !fill())
        return -1;
    ++m_position;
    return *m_cur++;
}

int BinaryInStream::peek()
{
    if (m_cur == m_end && !fill())
        return -1;
    return *m_cur;
}

void BinaryInStream::skip(std::uint64_t count)
{
    while (count > 0) {
        if (m_cur == m_end) {
            if (m_fd >= 0 && count > BufferSize && m_fileOffset < m_size) {
                // Large skips seek instead of reading through the data.
                const std::uint64_t jump = std::min<std::uint64_t>(count, m_size - m_fileOffset);
                if (::lseek(m_fd, static_cast<off_t>(m_fileOffset + jump), SEEK_SET) >= 0) {
                    m_fileOffset += jump;
                    m_position += jump;
                    count -= jump;
                    continue;
                }
            }
            if (!fill())
                return;
        }
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, m_end - m_cur));
        m_cur += n;
        m_position += n;
        count -= n;
    }
}

} // namespace quorvex
