#include "XdgLoginItems.h"

#include <glib.h>

namespace platform::gtk {

std::optional<std::filesystem::path> XdgLoginItems::folder() const {
    const char* configuration = g_get_user_config_dir();
    if (!configuration || !*configuration)
        return std::nullopt;
    return std::filesystem::path(configuration) / "autostart";
}

} // namespace platform::gtk
