// libFuzzer target: the page list text of the page selection dialog and of
// quorvex-cli print --pages, checked against a page count taken from the input.
#include "print/core/PageSelection.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const int total = 1 + data[0] * 73;
    const std::string text(reinterpret_cast<const char *>(data + 1), size - 1);
    quorvex::PageSelection::Check check = quorvex::PageSelection::checkList(text, total);
    if (check.ok())
        for (int p : check.pages)
            if (p < 1 || p > total)
                __builtin_trap();
    quorvex::PageSelection sel;
    sel.rangeMode = false;
    sel.pageNums = text;
    (void)sel.pageList();
    return 0;
}
