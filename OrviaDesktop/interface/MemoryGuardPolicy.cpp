#include "interface/MemoryGuardPolicy.h"

namespace orvia {

bool MemoryGuardPolicy::shouldReload(const Reading& reading, Seconds now) {
    if (!reading.memory || *reading.memory <= limits_.budget) {
        aboveBudgetSince.reset();
        return false;
    }
    if (*reading.memory > limits_.ceiling)
        return true;
    if (!aboveBudgetSince)
        aboveBudgetSince = now;
    const bool quiet = reading.collapsed || !reading.lastUse || now - *reading.lastUse >= quietAfter;
    return quiet && now - *aboveBudgetSince >= releaseGrace;
}

} // namespace orvia
