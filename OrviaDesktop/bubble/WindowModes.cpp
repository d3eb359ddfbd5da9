#include "interface/OrviaWindowController.h"

namespace orvia {

namespace {
// A collapsed window is 2 points wide; anything this narrow is never worth restoring to.
constexpr double narrowestExpandedWidth = 100.0;
constexpr double collapsedAlpha = 0.01;
} // namespace

bool OrviaWindowController::isCollapsed() const {
    return window->frame().width <= narrowestExpandedWidth;
}

void OrviaWindowController::minimizeToBubble() {
    if (!isCollapsed())
        expandedFrame = window->frame();
    if (auto screen = os.screens().mainScreen())
        window->setFrame({screen->visibleFrame.minX(), screen->visibleFrame.minY(), 2.0, 2.0}, false);
    window->setAlphaValue(collapsedAlpha);
    window->setIgnoresMouseEvents(true);
    window->setLevel(platform::WindowLevel::Normal);
    window->orderFrontRegardless();
    webView->evaluateJavaScript(pauseScript);
    showBubble();
}

void OrviaWindowController::showMainWindow(Maximize maximize) {
    if (bubblePanel)
        bubblePanel->orderOut();
    window->deminiaturize();
    std::optional<platform::Rect> target;
    if (maximize == Maximize::No && expandedFrame)
        target = expandedFrame;
    else if (auto screen = os.screens().mainScreen())
        target = screen->visibleFrame;
    if (target)
        window->setFrame(*target, true);
    window->setAlphaValue(1.0);
    window->setIgnoresMouseEvents(false);
    window->setLevel(platform::WindowLevel::Floating);
    os.application().unhide();
    window->orderFrontRegardless();
    window->makeKeyAndOrderFront();
    os.application().activateIgnoringOtherApps(true);
    webView->evaluateJavaScript(resumeScript);
    lastShown = os.mainQueue().uptime();
}

void OrviaWindowController::restoreFromBubble() {
    showMainWindow(Maximize::Yes);
}

bool OrviaWindowController::tryToPerform(const std::string& action, platform::View*) {
    if (action != restoreFromBubbleAction)
        return false;
    restoreFromBubble();
    return true;
}

bool OrviaWindowController::windowShouldClose() {
    minimizeToBubble();
    return false;
}

void OrviaWindowController::windowDidMiniaturize() {
    window->deminiaturize();
    minimizeToBubble();
}

} // namespace orvia
