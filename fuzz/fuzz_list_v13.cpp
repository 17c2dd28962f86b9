// libFuzzer target: the version 1.3 (Unicode, independent) list body reader
// (input starts after the signature). Whatever it reads is a Unicode list.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    quorvex::fuzz::readBody(data, size, quorvex::ListFileVersion::V13);
    return 0;
}
