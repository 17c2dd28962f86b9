// libFuzzer target: the sort.mtr reader, through the file as the dialog reads it.
#include "FuzzSupport.h"
#include "sort/core/SortSettings.h"

#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace quorvex;
    static const std::string path = fuzz::databaseFolder() + "sort.mtr";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    }
    fuzz::QuietMessages messages;
    SortFlags flags;
    const SortSettings::ReadOutcome outcome = SortSettings::read(path, flags, messages);
    // What was read must come back unchanged through the writer's format.
    if (outcome == SortSettings::ReadOutcome::Read) {
        SortFlags again;
        if (SortSettings::parse(SortSettings::format(flags), again) != 2 || !(again == flags))
            std::abort();
    }
    return 0;
}
