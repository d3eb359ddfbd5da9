#pragma once

#include <filesystem>
#include <optional>

namespace platform {

// How the user's session learns which programs to start at login.
enum class LoginItemFormat {
    // launchd reads property lists from the user's LaunchAgents folder.
    LaunchdPropertyList,
    // XDG autostart reads desktop entries from the user's autostart folder.
    DesktopEntry,
};

class LoginItems {
public:
    virtual ~LoginItems() = default;
    // The user's folder of login items, which may not exist yet; nothing when the user has none.
    virtual std::optional<std::filesystem::path> folder() const = 0;
    virtual LoginItemFormat format() const = 0;
};

} // namespace platform
