#include "GtkWorkspace.h"

#include <gio/gio.h>

namespace platform::gtk {

bool GtkWorkspace::openURL(const std::string& url) {
    GError* error = nullptr;
    bool opened = g_app_info_launch_default_for_uri(url.c_str(), nullptr, &error);
    g_clear_error(&error);
    return opened;
}

} // namespace platform::gtk
