// libFuzzer target: the version 1.4 (Unicode, dependent) list body reader
// (input starts after the signature), row by row and with the rows decoded on
// two threads: both must read the same.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto plain = quorvex::fuzz::readBody(data, size, quorvex::ListFileVersion::V14, 1 << 30);
    const auto threaded = quorvex::fuzz::readBody(data, size, quorvex::ListFileVersion::V14, 1);
    if (plain != threaded)
        std::abort();
    return 0;
}
