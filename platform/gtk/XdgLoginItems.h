#pragma once

#include "platform/LoginItems.h"

namespace platform::gtk {

// XDG autostart: desktop entries in $XDG_CONFIG_HOME/autostart (by default ~/.config/autostart).
class XdgLoginItems final : public LoginItems {
public:
    std::optional<std::filesystem::path> folder() const override;
    LoginItemFormat format() const override { return LoginItemFormat::DesktopEntry; }
};

} // namespace platform::gtk
