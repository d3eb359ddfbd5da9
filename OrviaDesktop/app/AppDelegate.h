#pragma once

#include "interface/OrviaWindowController.h"
#include "platform/Platform.h"

#include <memory>

namespace orvia {

class AppDelegate final : public platform::ApplicationDelegate,
                          public platform::ActionTarget,
                          public std::enable_shared_from_this<AppDelegate> {
public:
    static constexpr std::uint64_t kioskActivityOptions =
        platform::ActivityOptions::UserInitiated | platform::ActivityOptions::IdleDisplaySleepDisabled;
    static constexpr const char* kioskActivityReason = "Keep the Orvia public assistant ready for voice requests";

    explicit AppDelegate(platform::Platform& os) : os(os) {}

    void applicationDidFinishLaunching() override;
    platform::TerminateReply applicationShouldTerminate() override;
    void applicationWillTerminate() override;
    bool applicationShouldHandleReopen(bool hasVisibleWindows) override;
    // The menu's actions, by name.
    bool tryToPerform(const std::string& action, platform::View* sender) override;

    // Menu actions.
    void showOrvia();
    // Asks the system to authenticate an administrator; only then lets the application terminate.
    void administratorExit();

private:
    void configureMenu();
    void installLaunchAgent();

    platform::Platform& os;
    std::unique_ptr<OrviaWindowController> orviaController;
    bool allowTermination = false;
    std::unique_ptr<platform::ActivityToken> kioskActivity;
};

} // namespace orvia
