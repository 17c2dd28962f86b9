#include "LargePages.h"

#include <sys/mman.h>

namespace quorvex {

void *LargePages::allocate(std::size_t bytes) noexcept
{
    const std::size_t rounded = (bytes > 0 ? bytes : 1) + Size - 1;
    if (rounded < Size)
        return nullptr; // overflow
    const std::size_t capacity = rounded / Size * Size;
    void *memory = std::aligned_alloc(Size, capacity);
    if (!memory)
        return nullptr;
#ifdef MADV_HUGEPAGE
    ::madvise(memory, capacity, MADV_HUGEPAGE);
#endif
    return memory;
}

} // namespace quorvex
