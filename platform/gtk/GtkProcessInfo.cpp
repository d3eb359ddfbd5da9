#include "GtkProcessInfo.h"

#include <X11/extensions/scrnsaver.h>
#include <gdk/gdkx.h>

namespace platform::gtk {

namespace {

class GtkActivityToken final : public ActivityToken {
  public:
    guint inhibitCookie = 0;
    bool screenSaverSuspended = false;
    bool ended = false;
};

// Suspension is counted per client by the server, so each begin is matched by one end.
bool suspendScreenSaver(bool suspend) {
    GdkDisplay* display = gdk_display_get_default();
    if (!display || !GDK_IS_X11_DISPLAY(display))
        return false;
    Display* xdisplay = gdk_x11_display_get_xdisplay(display);
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XScreenSaverQueryExtension(xdisplay, &eventBase, &errorBase) ||
        !XScreenSaverQueryVersion(xdisplay, &major, &minor) || (major < 1 || (major == 1 && minor < 1)))
        return false;
    XScreenSaverSuspend(xdisplay, suspend ? True : False);
    gdk_display_flush(display);
    return true;
}

} // namespace

std::unique_ptr<ActivityToken> GtkProcessInfo::beginActivity(std::uint64_t options,
                                                             const std::string& reason) {
    auto token = std::make_unique<GtkActivityToken>();
    const bool keepDisplayAwake = (options & ActivityOptions::IdleDisplaySleepDisabled) != 0;
    int flags = 0;
    // A user-initiated activity includes keeping the system out of idle sleep.
    if ((options & ActivityOptions::UserInitiated) == ActivityOptions::UserInitiated)
        flags |= GTK_APPLICATION_INHIBIT_SUSPEND;
    if (keepDisplayAwake)
        flags |= GTK_APPLICATION_INHIBIT_IDLE;
    // The inhibitor needs a registered application; it answers 0 where no session manager listens.
    if (flags != 0 && g_application_get_is_registered(G_APPLICATION(application_)))
        token->inhibitCookie = gtk_application_inhibit(
            application_, nullptr, static_cast<GtkApplicationInhibitFlags>(flags), reason.c_str());
    if (keepDisplayAwake)
        token->screenSaverSuspended = suspendScreenSaver(true);
    return token;
}

void GtkProcessInfo::endActivity(ActivityToken& token) {
    auto* activity = dynamic_cast<GtkActivityToken*>(&token);
    if (!activity || activity->ended)
        return;
    activity->ended = true;
    if (activity->inhibitCookie != 0)
        gtk_application_uninhibit(application_, activity->inhibitCookie);
    if (activity->screenSaverSuspended)
        suspendScreenSaver(false);
}

} // namespace platform::gtk
