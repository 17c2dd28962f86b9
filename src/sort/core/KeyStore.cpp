#include "KeyStore.h"

namespace quorvex::sorting {

// The run length of the number token at `offset` of a key.
std::uint32_t runLengthAt(const KeyStore &keys, std::uint32_t id, std::size_t offset)
{
    for (const KeyStore::Run *r = keys.runsBegin(id); r != keys.runsEnd(id); ++r)
        if (r->offset == offset)
            return r->length;
    return plainLength(keys.key(id).data() + offset);
}

} // namespace quorvex::sorting
