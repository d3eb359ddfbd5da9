#pragma once

#include "platform/Supervisor.h"

#include <cstddef>

namespace orvia {

// When the kiosk comes back after its process ended. An end the program chose is final: the
// administrator exit or a second launch handing over to the running one (status 0), and an
// installation without its interface. Any other end, a crash, an abort or a kill, starts it again:
// a few restarts at once, then one each interval, so that a kiosk that cannot stay up cannot keep
// the machine busy either. Over any span of time t there are at most quickRestarts + t / interval.
class KioskRestartPolicy final : public platform::RestartPolicy {
public:
    static constexpr std::size_t quickRestarts = 5;
    static constexpr Seconds calmRestartInterval{60.0};

    std::optional<Seconds> restartDelay(const platform::ProcessEnd& end, Seconds now) override;

private:
    // Each restart moves this mark one interval on, from no earlier than its own time; a restart
    // waits while the mark is more than the quick restarts' allowance ahead of it.
    Seconds paceMark = Seconds::min();
};

} // namespace orvia
