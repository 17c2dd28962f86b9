#include "PdfFileCheck.h"

#include "platform/core/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvex {

std::optional<std::uint64_t> PdfFileCheck::xrefOffset(std::string_view tail)
{
    while (!tail.empty() && (tail.back() == '\n' || tail.back() == '\r' || tail.back() == ' '))
        tail.remove_suffix(1);
    constexpr std::string_view eof = "%%EOF";
    if (tail.size() < eof.size() || tail.substr(tail.size() - eof.size()) != eof)
        return std::nullopt;
    tail.remove_suffix(eof.size());
    constexpr std::string_view key = "startxref";
    const std::size_t at = tail.rfind(key);
    if (at == std::string_view::npos)
        return std::nullopt;
    std::size_t i = at + key.size();
    while (i < tail.size() && (tail[i] == '\n' || tail[i] == '\r' || tail[i] == ' '))
        ++i;
    std::uint64_t offset = 0;
    std::size_t digits = 0;
    for (; i < tail.size() && tail[i] >= '0' && tail[i] <= '9'; ++i, ++digits) {
        if (digits == 18)
            return std::nullopt;
        offset = offset * 10 + static_cast<std::uint64_t>(tail[i] - '0');
    }
    while (i < tail.size() && (tail[i] == '\n' || tail[i] == '\r' || tail[i] == ' '))
        ++i;
    if (digits == 0 || i != tail.size())
        return std::nullopt;
    return offset;
}

bool PdfFileCheck::isComplete(const std::string &path)
{
    const int fd = FileSystem::openForReading(path);
    if (fd < 0)
        return false;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st;
    if (::fstat(fd, &st) != 0 || st.st_size <= 0)
        return false;
    const auto size = static_cast<std::uint64_t>(st.st_size);
    const auto readAt = [fd](std::uint64_t from, std::size_t count, std::string &out) {
        out.assign(count, '\0');
        std::size_t got = 0;
        while (got < count) {
            const ssize_t n = ::pread(fd, &out[got], count - got, static_cast<off_t>(from + got));
            if (n <= 0)
                return false;
            got += static_cast<std::size_t>(n);
        }
        return true;
    };
    const std::size_t tailSize = static_cast<std::size_t>(size < TailBytes ? size : TailBytes);
    std::string tail;
    if (!readAt(size - tailSize, tailSize, tail))
        return false;
    const std::optional<std::uint64_t> offset = xrefOffset(tail);
    if (!offset || *offset + 4 > size)
        return false;
    std::string xref;
    return readAt(*offset, 4, xref) && xref == "xref";
}

} // namespace quorvex
