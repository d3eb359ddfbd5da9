#include "app/AppDelegate.h"

namespace orvia {

void AppDelegate::applicationDidFinishLaunching() {
    os.application().setActivationPolicy(platform::ActivationPolicy::Regular);
    kioskActivity = os.processInfo().beginActivity(kioskActivityOptions, kioskActivityReason);
    orviaController = std::make_unique<OrviaWindowController>(os);
    orviaController->showMainWindow(OrviaWindowController::Maximize::No);
    os.mainQueue().asyncAfter(firstUpdateCheckDelay, [self = weak_from_this()] {
        if (auto delegate = self.lock())
            delegate->checkForUpdates(UpdateCheckMode::Silent);
    });
}

platform::TerminateReply AppDelegate::applicationShouldTerminate() {
    if (allowTermination)
        return platform::TerminateReply::Now;
    if (orviaController)
        orviaController->minimizeToBubble();
    return platform::TerminateReply::Cancel;
}

void AppDelegate::applicationWillTerminate() {
    if (kioskActivity)
        os.processInfo().endActivity(*kioskActivity);
}

bool AppDelegate::applicationShouldHandleReopen(bool) {
    if (orviaController)
        orviaController->showMainWindow(OrviaWindowController::Maximize::No);
    return true;
}

} // namespace orvia
