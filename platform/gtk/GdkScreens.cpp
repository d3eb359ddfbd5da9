#include "GdkScreens.h"

#include "ScreenCoordinates.h"

#include <gdk/gdk.h>

namespace platform::gtk {

std::optional<Screen> GdkScreens::mainScreen() const {
    return primaryScreen();
}

std::optional<Screen> primaryScreen() {
    GdkDisplay* display = gdk_display_get_default();
    if (!display)
        return std::nullopt;
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (!monitor)
        monitor = gdk_display_get_monitor(display, 0);
    if (!monitor)
        return std::nullopt;

    GdkRectangle geometry;
    GdkRectangle workarea;
    gdk_monitor_get_geometry(monitor, &geometry);
    gdk_monitor_get_workarea(monitor, &workarea);
    const auto coordinates = ScreenCoordinates::of(gdk_display_get_default_screen(display));
    return Screen{coordinates.fromX11(geometry), coordinates.fromX11(workarea)};
}

} // namespace platform::gtk
