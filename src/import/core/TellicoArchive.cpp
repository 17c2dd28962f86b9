#include "TellicoArchive.h"

#include "platform/core/FileSystem.h"

#include <zip.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quorvex {

namespace {

const char *const XmlName = "tellico.xml";
const char *const NotACollection = "The file is not a Tellico collection.";

bool startsWithZipMagic(std::string_view head)
{
    return head.size() >= 4 && head[0] == 'P' && head[1] == 'K' &&
           ((head[2] == 3 && head[3] == 4) || (head[2] == 5 && head[3] == 6));
}

std::string mb(std::uint64_t bytes) { return std::to_string(bytes >> 20) + " MB"; }

} // namespace

TellicoArchive::TellicoArchive() = default;

TellicoArchive::~TellicoArchive()
{
    if (m_zip)
        zip_discard(m_zip);
    else if (m_source)
        zip_source_free(m_source);
}

bool TellicoArchive::fail(std::string message)
{
    if (m_error.empty())
        m_error = std::move(message);
    return false;
}

bool TellicoArchive::isSafeMemberName(std::string_view name)
{
    if (name.empty() || name.front() == '/' || name.find('\\') != std::string_view::npos ||
        name.find('\0') != std::string_view::npos)
        return false;
    // "C:..." is absolute where the archive was made.
    if (name.size() >= 2 && name[1] == ':')
        return false;
    std::size_t from = 0;
    while (from <= name.size()) {
        const std::size_t slash = std::min(name.find('/', from), name.size());
        if (name.substr(from, slash - from) == "..")
            return false;
        from = slash + 1;
    }
    return true;
}

bool TellicoArchive::openFile(const std::string &path, const Limits &limits)
{
    m_limits = limits;
    const int fd = FileSystem::openForReading(path);
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        return fail("Unable to open the collection file:\n\n" + path);
    }
    char head[4] = {};
    const ssize_t got = ::pread(fd, head, sizeof head, 0);
    if (got < 0) {
        ::close(fd);
        return fail("Unable to read the collection file:\n\n" + path);
    }
    if (!startsWithZipMagic(std::string_view(head, static_cast<std::size_t>(got)))) {
        // Tellico also reads its XML on its own, unpacked.
        const auto size = static_cast<std::uint64_t>(st.st_size);
        if (size > limits.maxXmlBytes) {
            ::close(fd);
            return fail("The collection is larger than " + mb(limits.maxXmlBytes) + ", too large to import.");
        }
        m_plainXml.resize(static_cast<std::size_t>(size));
        std::size_t done = 0;
        while (done < m_plainXml.size()) {
            const ssize_t n = ::pread(fd, &m_plainXml[done], m_plainXml.size() - done, static_cast<off_t>(done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        ::close(fd);
        m_plainXml.resize(done);
        return true;
    }
    int error = 0;
    zip_t *archive = zip_fdopen(fd, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!archive) {
        ::close(fd);
        return fail(std::string(NotACollection) + " Its zip archive is damaged.");
    }
    return openZip(archive);
}

bool TellicoArchive::openMemory(std::string_view bytes, const Limits &limits)
{
    m_limits = limits;
    if (!startsWithZipMagic(bytes)) {
        if (bytes.size() > limits.maxXmlBytes)
            return fail("The collection is larger than " + mb(limits.maxXmlBytes) + ", too large to import.");
        m_memoryXml = bytes;
        m_plainFromMemory = true;
        return true;
    }
    zip_error_t error;
    zip_error_init(&error);
    m_source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_error_fini(&error);
    if (!m_source)
        return fail(NotACollection);
    zip_error_init(&error);
    zip_t *archive = zip_open_from_source(m_source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    zip_error_fini(&error);
    if (!archive)
        return fail(std::string(NotACollection) + " Its zip archive is damaged.");
    return openZip(archive);
}

bool TellicoArchive::openZip(zip_t *archive)
{
    m_zip = archive;
    m_source = nullptr;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0 || static_cast<std::uint64_t>(count) > m_limits.maxMembers)
        return fail(std::string(NotACollection) + " Its archive holds too many files.");
    std::uint64_t total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME) ||
            !(st.valid & ZIP_STAT_SIZE) || !(st.valid & ZIP_STAT_COMP_SIZE))
            return fail(std::string(NotACollection) + " Its zip archive is damaged.");
        const std::string_view name(st.name);
        if (!isSafeMemberName(name))
            return fail("The collection was refused: its archive holds a file named \"" + std::string(name) +
                        "\", which points outside its own folder.");
        zip_uint8_t opsys = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(archive, static_cast<zip_uint64_t>(i), 0, &opsys, &attributes) == 0 &&
            opsys == ZIP_OPSYS_UNIX && S_ISLNK(static_cast<mode_t>(attributes >> 16)))
            return fail("The collection was refused: its archive holds a link, \"" + std::string(name) + "\".");
        const bool isXml = name == XmlName;
        const std::uint64_t cap = isXml ? m_limits.maxXmlBytes : m_limits.maxMemberBytes;
        if (st.size > cap)
            return fail("The collection was refused: \"" + std::string(name) + "\" in its archive unpacks to more than " +
                        mb(cap) + ".");
        if (st.size > m_limits.ratioFloor && st.size / std::max<zip_uint64_t>(st.comp_size, 1) > m_limits.maxRatio)
            return fail("The collection was refused: \"" + std::string(name) +
                        "\" in its archive is packed far tighter than any real file (a zip bomb).");
        total += st.size;
        if (total > m_limits.maxTotalBytes)
            return fail("The collection was refused: its archive unpacks to more than " + mb(m_limits.maxTotalBytes) +
                        ".");
    }
    return true;
}

bool TellicoArchive::readMember(std::int64_t index, std::uint64_t cap, std::string &out)
{
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(m_zip, static_cast<zip_uint64_t>(index), 0, &st) != 0)
        return fail(std::string(NotACollection) + " Its zip archive is damaged.");
    zip_file_t *file = zip_fopen_index(m_zip, static_cast<zip_uint64_t>(index), 0);
    if (!file)
        return fail("Unable to unpack \"" + std::string(st.name) + "\" from the collection: the archive is damaged or "
                    "uses a method that cannot be read.");
    // The declared size was checked; the stream is held to it too, so a
    // header that lies cannot make it grow.
    const std::uint64_t limit = std::min<std::uint64_t>(st.size, cap);
    out.assign(static_cast<std::size_t>(limit), '\0');
    std::uint64_t done = 0;
    bool ok = true;
    while (done < limit) {
        const zip_int64_t n = zip_fread(file, &out[static_cast<std::size_t>(done)], limit - done);
        if (n <= 0) {
            ok = n == 0 && done == limit;
            break;
        }
        done += static_cast<std::uint64_t>(n);
    }
    char extra = 0;
    if (ok && zip_fread(file, &extra, 1) != 0)
        ok = false;
    zip_fclose(file);
    if (!ok) {
        out.clear();
        return fail("Unable to unpack \"" + std::string(st.name) + "\" from the collection: the archive is damaged.");
    }
    return true;
}

bool TellicoArchive::readXml(std::string &xml)
{
    if (!m_zip) {
        if (m_plainFromMemory)
            xml.assign(m_memoryXml.data(), m_memoryXml.size());
        else
            xml = std::move(m_plainXml);
        return m_error.empty();
    }
    const zip_int64_t index = zip_name_locate(m_zip, XmlName, 0);
    if (index < 0)
        return fail(std::string(NotACollection) + " Its archive holds no tellico.xml.");
    return readMember(index, m_limits.maxXmlBytes, xml);
}

bool TellicoArchive::readImage(std::string_view id, std::string &bytes)
{
    if (!m_zip || !isSafeMemberName(id) || id.find('/') != std::string_view::npos)
        return false;
    const std::string name = "images/" + std::string(id);
    const zip_int64_t index = zip_name_locate(m_zip, name.c_str(), 0);
    if (index < 0)
        return false;
    return readMember(index, m_limits.maxMemberBytes, bytes);
}

} // namespace quorvex
