#pragma once

#include "platform/Platform.h"
#include "updates/Release.h"

#include <deque>
#include <string>

namespace orvia {

enum class UpdateCheckMode {
    // Shows something only for a newer release, and each version only once.
    Silent,
    // Offers a newer release every time, and otherwise says the application is up to date.
    Interactive,
};

// What one check carries from the network to the main thread, by value.
struct UpdateCheckResult {
    Release release;
    std::string currentVersion;
    UpdateCheckMode mode;
};

// The main-thread end of update checks: compares the versions, remembers which were offered and
// shows the alerts.
class UpdateDecision {
public:
    static constexpr const char* noticeKeyPrefix = "OrviaDesktopUpdateNotice.";

    explicit UpdateDecision(platform::Platform& os) : os(os) {}

    // Main thread. An alert runs a nested event loop, so a result can arrive while an earlier one's
    // alert is up; it waits until that check has ended, and alerts come one after another.
    void decide(UpdateCheckResult result);

private:
    void carryOut(const UpdateCheckResult& result);
    void offer(const Release& release);
    void reportUpToDate(const std::string& currentVersion);

    platform::Platform& os;
    std::deque<UpdateCheckResult> waiting;
    bool deciding = false;
};

} // namespace orvia
