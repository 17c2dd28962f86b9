// libFuzzer target: the unicode.mtr reader. Whatever it reads must write back
// to a file that reads to the same choice.
#include "listfile/core/UnicodeListSetting.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    quorvex::UnicodeListSetting setting;
    setting.newListsUnicode = quorvex::UnicodeListSetting::parse(
        std::string_view(reinterpret_cast<const char *>(data), size));
    if (quorvex::UnicodeListSetting::parse(setting.format()) != setting.newListsUnicode)
        std::abort();
    return 0;
}
