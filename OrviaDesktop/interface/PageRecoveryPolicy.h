#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>

namespace orvia {

// When to load the interface again after its web content process ended. A few reloads follow at
// once; a page that keeps dying is then retried calmly, so that it cannot keep the machine busy,
// until a load finishes and the page stays up for a while. Times are on one monotonic clock.
class PageRecoveryPolicy {
public:
    using Seconds = std::chrono::duration<double>;

    static constexpr std::size_t immediateReloadLimit = 5;
    static constexpr Seconds immediateReloadWindow{60.0};
    static constexpr Seconds calmRetryDelay{30.0};
    // A page that finished loading and lived this long counts as recovered.
    static constexpr Seconds stayedUpAfter{10.0};
    // How long the process may stay unresponsive before it is ended.
    static constexpr Seconds hangLimit{10.0};

    void didFinishLoad(Seconds now);
    // The process ended at now: the wait before loading the interface again (zero: at once).
    Seconds reloadDelayAfterTermination(Seconds now);

private:
    std::deque<Seconds> immediateReloads;
    std::optional<Seconds> finishedAt;
    bool calm = false;
};

} // namespace orvia
