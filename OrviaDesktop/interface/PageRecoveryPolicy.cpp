#include "interface/PageRecoveryPolicy.h"

namespace orvia {

void PageRecoveryPolicy::didFinishLoad(Seconds now) {
    finishedAt = now;
}

PageRecoveryPolicy::Seconds PageRecoveryPolicy::reloadDelayAfterTermination(Seconds now) {
    if (finishedAt && now - *finishedAt >= stayedUpAfter) {
        immediateReloads.clear();
        calm = false;
    }
    finishedAt.reset();
    while (!immediateReloads.empty() && now - immediateReloads.front() >= immediateReloadWindow)
        immediateReloads.pop_front();
    if (calm || immediateReloads.size() >= immediateReloadLimit) {
        calm = true;
        return calmRetryDelay;
    }
    immediateReloads.push_back(now);
    return Seconds::zero();
}

} // namespace orvia
