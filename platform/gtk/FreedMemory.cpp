#include "FreedMemory.h"

#include <malloc.h>

namespace platform::gtk {

namespace {
// Below this the allocator's own trimming of the heap's top is enough, and trimming costs a walk of
// the whole heap.
constexpr std::size_t largeWorkBytes = 256 * 1024;
} // namespace

void releaseFreedMemory(std::size_t workBytes) {
    if (workBytes >= largeWorkBytes)
        malloc_trim(0);
}

} // namespace platform::gtk
