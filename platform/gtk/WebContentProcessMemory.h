#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>

namespace platform::gtk {

// The memory of this program's web content process, from the kernel's counters: its anonymous pages,
// resident or swapped out, which is what a page's scripts and documents fill (the engine's own
// measure, from the process's page tables, differs by a few megabytes). The engine does not name the
// process, so it is found by name among the program's descendants (it runs inside bubblewrap), once
// per process.
class WebContentProcessMemory {
public:
    std::optional<std::uint64_t> read();
    // The process ended: the next reading looks for its successor.
    void forget() { process_.reset(); }

private:
    std::optional<pid_t> process_;
};

} // namespace platform::gtk
