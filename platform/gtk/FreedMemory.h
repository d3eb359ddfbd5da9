#pragma once

#include <cstddef>

namespace platform::gtk {

// Hands the heap pages the allocator kept after a piece of work of about `workBytes` back to the
// system, when the work was large. Converting one big page message builds a large tree of small
// allocations; once it is freed, the allocator keeps those pages for reuse, so that without this a
// single burst of big messages would raise the program's resident memory for good.
void releaseFreedMemory(std::size_t workBytes);

} // namespace platform::gtk
