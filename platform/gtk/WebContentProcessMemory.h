#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>

namespace platform::gtk {

// The memory of this program's web content process, from the kernel's counters: its anonymous pages,
// resident or swapped out, which is what a page's scripts and documents fill (the engine's own
// measure, from the process's page tables, differs by a few megabytes). The engine does not name the
// process, so it is found by name below the program whenever a page comes in.
class WebContentProcessMemory {
public:
    std::optional<std::uint64_t> read();
    // A document came in: its process runs now, and the next reading looks for it. Looking takes a
    // few milliseconds, so it happens once a page, not at every reading.
    void documentCommitted() { searchPending_ = true; }
    // The process ended.
    void forget() {
        process_.reset();
        searchPending_ = false;
    }

private:
    std::optional<pid_t> process_;
    bool searchPending_ = false;
};

} // namespace platform::gtk
