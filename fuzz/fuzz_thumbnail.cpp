// libFuzzer target: a picture file of the database folder made into a
// catalogue thumbnail. The first byte picks the name's extension, so the
// content test and each decoder see inputs shaped for them.
#include "export/core/Thumbnailer.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using quorvex::Thumbnailer;
    if (size == 0)
        return 0;
    static const char *const extensions[] = {".jpg", ".gif", ".bmp", ""};
    const std::string ext = extensions[data[0] % 4];
    const std::string_view bytes(reinterpret_cast<const char *>(data) + 1, size - 1);
    std::string jpeg, error;
    if (Thumbnailer::makeThumbnail(bytes, "fuzz" + ext, ext, {}, jpeg, error) && jpeg.size() < 4)
        std::abort();
    return 0;
}
