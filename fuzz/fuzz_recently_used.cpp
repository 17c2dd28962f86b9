// libFuzzer target: merging an entry into the desktop's recently-used list.
// Whatever the file holds, the merge either refuses it or gives a list that
// merges again.
#include "platform/core/RecentlyUsedList.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using quorvex::RecentlyUsedList;
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const RecentlyUsedList::Use use{"/home/ann/Movies & More.lst", "application/x-quorvex-list", "Quorvex",
                                    "quorvex %f", "2026-12-10T11:00:00.000000Z"};
    if (const auto merged = RecentlyUsedList::merge(text, use)) {
        if (!RecentlyUsedList::merge(*merged, use))
            std::abort();
    }
    return 0;
}
