#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>

namespace quorvex {

// Memory aligned to and advised as 2 MB pages, where the system offers them:
// a large array first written in 4 KB pages costs a fault per page, which
// for the arrays of a million-row list takes longer than the work on them.
class LargePages {
public:
    static constexpr std::size_t Size = std::size_t(2) << 20;

    struct Free {
        void operator()(void *p) const { std::free(p); }
    };
    template <typename T>
    using Array = std::unique_ptr<T[], Free>;

    // `bytes` rounded up to whole large pages, aligned to one; nullptr when
    // there is no room. Freed with std::free.
    static void *allocate(std::size_t bytes) noexcept;

    // An array of `count` elements; a small one comes from the heap as it is.
    // Throws std::bad_alloc when there is no room.
    template <typename T>
    static Array<T> array(std::size_t count)
    {
        static_assert(std::is_trivially_copyable<T>::value, "raw storage");
        const std::size_t bytes = count * sizeof(T) > 0 ? count * sizeof(T) : 1;
        void *memory = bytes < Size / 2 ? std::malloc(bytes) : allocate(bytes);
        if (!memory)
            throw std::bad_alloc();
        return Array<T>(static_cast<T *>(memory));
    }
};

} // namespace quorvex
