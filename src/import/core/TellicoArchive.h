#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct zip;
struct zip_source;

namespace quorvex {

// Bounds on what an archive may hold; anything past them is refused as hostile.
struct ArchiveLimits {
    std::uint64_t maxXmlBytes = 512ull << 20;
    std::uint64_t maxMemberBytes = 64ull << 20;
    // Everything the archive says it unpacks to.
    std::uint64_t maxTotalBytes = 4ull << 30;
    // Unpacked over packed size, for members past ratioFloor bytes: deflate
    // reaches about 1000 only on data made to do so.
    std::uint64_t maxRatio = 200;
    std::uint64_t ratioFloor = 1u << 20;
    std::uint64_t maxMembers = 2000000;
};

// A collection file: a zip archive with tellico.xml and an images/ folder, or
// the XML alone. Every member is checked when it is opened: a name that
// climbs out of its folder, an absolute name, a link, or sizes that cannot be
// honest refuse the whole file. Nothing is ever unpacked under an archive's
// own names; members are read into memory by name, within the limits.
class TellicoArchive {
public:
    using Limits = ArchiveLimits;

    TellicoArchive();
    ~TellicoArchive();
    TellicoArchive(const TellicoArchive &) = delete;
    TellicoArchive &operator=(const TellicoArchive &) = delete;

    bool openFile(const std::string &path, const Limits &limits = Limits());
    // `bytes` must outlive the archive.
    bool openMemory(std::string_view bytes, const Limits &limits = Limits());

    // A sentence for the user after a false.
    const std::string &error() const { return m_error; }

    // The XML document of the collection.
    bool readXml(std::string &xml);
    // A member under images/; false (no error) when there is none, false with
    // error() set when it cannot be read within the limits.
    bool readImage(std::string_view id, std::string &bytes);
    bool isZip() const { return m_zip != nullptr; }

    // Whether a member name stays inside the archive's own folder.
    static bool isSafeMemberName(std::string_view name);

private:
    bool openZip(::zip *archive);
    bool readMember(std::int64_t index, std::uint64_t cap, std::string &out);
    bool fail(std::string message);

    ::zip *m_zip = nullptr;
    ::zip_source *m_source = nullptr;
    std::string m_plainXml;
    std::string_view m_memoryXml;
    bool m_plainFromMemory = false;
    Limits m_limits;
    std::string m_error;
};

} // namespace quorvex
