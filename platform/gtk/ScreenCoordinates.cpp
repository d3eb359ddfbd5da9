#include "ScreenCoordinates.h"

#include <algorithm>
#include <cmath>

namespace platform::gtk {

ScreenCoordinates ScreenCoordinates::of(GdkScreen* screen) {
    return ScreenCoordinates(gdk_window_get_height(gdk_screen_get_root_window(screen)));
}

GdkRectangle ScreenCoordinates::toX11(const Rect& rect) const {
    const auto left = static_cast<int>(std::lround(rect.minX()));
    const auto right = static_cast<int>(std::lround(rect.maxX()));
    const auto top = static_cast<int>(std::lround(rootHeight_ - rect.maxY()));
    const auto bottom = static_cast<int>(std::lround(rootHeight_ - rect.minY()));
    return GdkRectangle{left, top, std::max(right - left, 1), std::max(bottom - top, 1)};
}

Rect ScreenCoordinates::fromX11(const GdkRectangle& rect) const {
    const auto x = static_cast<double>(rect.x);
    const auto y = static_cast<double>(rect.y);
    const auto width = static_cast<double>(rect.width);
    const auto height = static_cast<double>(rect.height);
    return Rect{x, rootHeight_ - (y + height), width, height};
}

GdkPoint ScreenCoordinates::toX11(const Point& point) const {
    return GdkPoint{static_cast<int>(std::lround(point.x)),
                    static_cast<int>(std::lround(rootHeight_ - point.y))};
}

} // namespace platform::gtk
