#include "interface/OrviaWindowController.h"

#include <algorithm>

namespace orvia {

// The page's process is read from outside, so that a page whose scripts never yield cannot stop it.
// A page that must go is ended as a crashed one would be: the crash recovery loads it again, with its
// bound on how often.
void OrviaWindowController::watchWebContentMemory() {
    os.mainQueue().asyncAfter(
        MemoryGuardPolicy::readingInterval, [this, living = std::weak_ptr<bool>(alive)] {
            if (!living.lock())
                return;
            // Showing the interface (a click on the bubble, the page's wake word) is use as much as a touch.
            const MemoryGuardPolicy::Reading reading{webView->webContentProcessMemory(), isCollapsed(),
                                                     std::max(webView->lastUserInput(), lastShown)};
            if (memoryGuard.shouldReload(reading, os.mainQueue().uptime()))
                webView->terminateWebContentProcess();
            watchWebContentMemory();
        });
}

} // namespace orvia
