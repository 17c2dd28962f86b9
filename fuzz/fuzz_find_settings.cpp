// libFuzzer target: the find.mtr reader (the file's bytes as they are on disk).
#include "search/core/FindSettingsFile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const auto options = quorvex::FindSettingsFile::parse(text);
    // What was read, written back, reads the same.
    if (options) {
        const auto again = quorvex::FindSettingsFile::parse(quorvex::FindSettingsFile::format(*options));
        if (!again || !(*again == *options))
            std::abort();
    }
    return 0;
}
