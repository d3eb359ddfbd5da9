#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

namespace ActivityOptions {
inline constexpr std::uint64_t UserInitiated = 0xFFFFFFULL;
inline constexpr std::uint64_t IdleDisplaySleepDisabled = 1ULL << 40;
} // namespace ActivityOptions

// An activity assertion in force. Destroying the token does not end the activity:
// only ProcessInfo::endActivity does, as on the original platform.
class ActivityToken {
public:
    virtual ~ActivityToken() = default;
};

class ProcessInfo {
public:
    virtual ~ProcessInfo() = default;
    // Keeps the display and the system awake while held. Never fails visibly: where nothing
    // answers (no session manager, no screen saver extension) the token holds nothing.
    virtual std::unique_ptr<ActivityToken> beginActivity(std::uint64_t options, const std::string& reason) = 0;
    virtual void endActivity(ActivityToken& token) = 0;
};

} // namespace platform
