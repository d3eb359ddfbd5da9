#pragma once

#include "platform/WebView.h"

#include <chrono>
#include <cstdint>
#include <optional>

namespace orvia {

// When a page that holds too much memory is loaded again. Above the budget the engine first gets
// the time to release what it can; memory still above it after that is the page's own, and the page
// is loaded again once nobody is using the kiosk. Past the ceiling it is loaded again at once. Times
// are on one monotonic clock.
class MemoryGuardPolicy {
public:
    using Seconds = std::chrono::duration<double>;

    // A reading costs about a tenth of a millisecond, wake-up included; a page that allocates in a
    // loop that never yields grows by up to 400 MB a second, which is what can pass the ceiling
    // before it is seen.
    static constexpr Seconds readingInterval{1.0};
    // The engine looks at its memory every 30 s and releases what it can when above the budget.
    static constexpr Seconds releaseGrace{40.0};
    // Nobody has used the expanded interface for this long: it can be loaded again unnoticed.
    static constexpr Seconds quietAfter{300.0};

    struct Reading {
        std::optional<std::uint64_t> memory;
        bool collapsed = false;
        // The last input in the page or showing of the interface; absent: none yet.
        std::optional<Seconds> lastUse;
    };

    explicit MemoryGuardPolicy(platform::WebContentMemoryLimits limits) : limits_(limits) {}
    const platform::WebContentMemoryLimits& limits() const { return limits_; }

    // True: end the web content process now, so that the page is loaded again.
    bool shouldReload(const Reading& reading, Seconds now);
    // The process ended; the next one is judged afresh.
    void processEnded() { aboveBudgetSince.reset(); }

private:
    platform::WebContentMemoryLimits limits_;
    std::optional<Seconds> aboveBudgetSince;
};

} // namespace orvia
