#include "interface/OrviaWindowController.h"

#include <utility>

namespace orvia {

void OrviaWindowController::didFinishNavigation() {
    recoveryPolicy.didFinishLoad(os.mainQueue().uptime());
    // A fresh page starts running; a collapsed kiosk keeps its page paused.
    if (std::exchange(recoveryLoadPending, false) && isCollapsed())
        webView->evaluateJavaScript(pauseScript);
}

void OrviaWindowController::webContentProcessDidTerminate() {
    ++responsivenessGeneration;
    memoryGuard.processEnded();
    const auto delay = recoveryPolicy.reloadDelayAfterTermination(os.mainQueue().uptime());
    os.mainQueue().asyncAfter(delay, [this, living = std::weak_ptr<bool>(alive)] {
        if (!living.lock())
            return;
        recoveryLoadPending = true;
        loadInterface();
    });
}

void OrviaWindowController::webContentProcessDidBecomeUnresponsive() {
    const unsigned silence = ++responsivenessGeneration;
    os.mainQueue().asyncAfter(PageRecoveryPolicy::hangLimit,
                              [this, silence, living = std::weak_ptr<bool>(alive)] {
                                  if (living.lock() && silence == responsivenessGeneration)
                                      webView->terminateWebContentProcess();
                              });
}

void OrviaWindowController::webContentProcessDidBecomeResponsive() {
    ++responsivenessGeneration;
}

} // namespace orvia
