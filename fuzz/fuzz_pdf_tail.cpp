// libFuzzer target: the trailer reader that decides whether a printed PDF is whole.
#include "print/core/PdfFileCheck.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view tail(reinterpret_cast<const char *>(data), size);
    if (const auto offset = quorvex::PdfFileCheck::xrefOffset(tail))
        if (tail.find("startxref") == std::string_view::npos || *offset >= 1000000000000000000ULL)
            __builtin_trap();
    return 0;
}
