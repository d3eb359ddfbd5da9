#pragma once

#include "interface/OrviaWindowController.h"
#include "platform/Platform.h"
#include "updates/UpdateDecision.h"

#include <chrono>
#include <memory>
#include <string_view>

namespace orvia {

class AppDelegate final : public platform::ApplicationDelegate, public std::enable_shared_from_this<AppDelegate> {
public:
    static constexpr std::uint64_t kioskActivityOptions =
        platform::ActivityOptions::UserInitiated | platform::ActivityOptions::IdleDisplaySleepDisabled;
    static constexpr const char* kioskActivityReason = "Keep the Orvia public assistant ready for voice requests";
    static constexpr std::chrono::duration<double> firstUpdateCheckDelay{3.0};

    explicit AppDelegate(platform::Platform& os) : os(os) {}

    void applicationDidFinishLaunching() override;
    platform::TerminateReply applicationShouldTerminate() override;
    void applicationWillTerminate() override;
    bool applicationShouldHandleReopen(bool hasVisibleWindows) override;

    // Asks the update server for the current release and returns at once; a newer one is offered in
    // an alert later, on the main thread. Failures of any kind show nothing.
    void checkForUpdates(UpdateCheckMode mode);
    // True exactly when candidate names a strictly newer version than newerThan.
    static bool isVersion(std::string_view candidate, std::string_view newerThan);

private:
    platform::Platform& os;
    std::unique_ptr<OrviaWindowController> orviaController;
    bool allowTermination = false;
    std::unique_ptr<platform::ActivityToken> kioskActivity;
    // Shared with the checks' completions, which must not hold the delegate itself.
    std::shared_ptr<UpdateDecision> updateDecision = std::make_shared<UpdateDecision>(os);
};

} // namespace orvia
