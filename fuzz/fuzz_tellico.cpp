// libFuzzer target: the Tellico collection reader, archive and XML, with
// small limits so the size, ratio, depth and field bounds are reached too.
// Pictures go to the fuzzer's own scratch database folder.
#include "FuzzSupport.h"

#include "document/core/AttachmentRef.h"
#include "import/core/TellicoImport.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    quorvex::TellicoImport::Limits limits;
    limits.archive.maxXmlBytes = 1u << 20;
    limits.archive.maxMemberBytes = 1u << 20;
    limits.archive.maxTotalBytes = 4u << 20;
    limits.archive.ratioFloor = 64u << 10;
    limits.archive.maxMembers = 256;
    limits.xml.maxEntries = 4096;
    limits.xml.maxFields = 128;
    limits.xml.maxValueBytes = 4096;
    limits.xml.maxImageBytes = 1u << 20;
    limits.maxColumns = 256;
    const std::string &folder = quorvex::fuzz::databaseFolder();
    quorvex::ListDocument doc(2, 2);
    const auto result = quorvex::TellicoImport::importMemory(
        std::string_view(reinterpret_cast<const char *>(data), size), folder, doc, limits);
    if (!result.ok)
        return 0;
    if (doc.RowCount() < 2 || doc.ColCount() < 9 || doc.textEncoding() != quorvex::TextEncoding::Utf8)
        __builtin_trap();
    // Every picture cell names a file that is in the folder.
    for (int r = 1; r < doc.RowCount(); ++r)
        for (int c = 1; c < doc.ColCount(); ++c)
            if (quorvex::AttachmentRef::IsAttachmentCell(doc, c, r) &&
                !quorvex::FileSystem::isRegularFile(folder + quorvex::AttachmentRef::AttachmentFileName(doc, c, r)))
                __builtin_trap();
    return 0;
}
