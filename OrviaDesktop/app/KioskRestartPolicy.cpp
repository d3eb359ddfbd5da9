#include "app/KioskRestartPolicy.h"

#include "resource_bundle_accessor/ResourceBundleAccessor.h"

#include <algorithm>
#include <cstdlib>

namespace orvia {

namespace {

bool isRestart(const platform::ProcessEnd& end) {
    if (end.cause == platform::ProcessEnd::Cause::Signal)
        return true;
    return end.code != EXIT_SUCCESS && end.code != missingResourceBundleExitStatus;
}

} // namespace

std::optional<KioskRestartPolicy::Seconds> KioskRestartPolicy::restartDelay(const platform::ProcessEnd& end,
                                                                            Seconds now) {
    if (!isRestart(end))
        return std::nullopt;
    const Seconds allowance = calmRestartInterval * static_cast<double>(quickRestarts - 1);
    const Seconds mark = std::max(paceMark, now);
    paceMark = mark + calmRestartInterval;
    return std::max(now, mark - allowance) - now;
}

} // namespace orvia
