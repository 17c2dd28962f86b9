// libFuzzer target: the new.mtr reader. Whatever it reads must write back to a
// file that reads to the same choice.
#include "entry/core/NewListSettings.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    quorvex::NewListSettings read;
    const int applied = read.parse(std::string_view(reinterpret_cast<const char *>(data), size));
    if (applied < 0 || applied > quorvex::NewListSettings::FlagCount)
        std::abort();
    if (read.kind < quorvex::NewListSettings::NoKind || read.kind >= quorvex::NewListSettings::KindCount)
        std::abort();
    quorvex::NewListSettings again;
    again.select(quorvex::NewListSettings::NoKind);
    if (again.parse(read.format()) != quorvex::NewListSettings::FlagCount || again.kind != read.kind ||
        again.wizard != read.wizard || again.showOnStart != read.showOnStart)
        std::abort();
    return 0;
}
