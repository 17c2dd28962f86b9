// libFuzzer target: the version 1.0 list body reader (input starts after the signature).
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    quorvex::fuzz::readBody(data, size, quorvex::ListFileVersion::V10);
    return 0;
}
