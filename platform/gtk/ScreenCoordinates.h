#pragma once

#include "platform/Geometry.h"

#include <gdk/gdk.h>

namespace platform::gtk {

// The one crossing between the layer's coordinates (origin at the bottom left, y upwards) and
// X11's (origin at the top left of the whole X screen, y downwards, whole pixels).
class ScreenCoordinates {
  public:
    explicit ScreenCoordinates(double rootHeight) : rootHeight_(rootHeight) {}
    // The X screen (root window) the rectangles are measured against.
    static ScreenCoordinates of(GdkScreen* screen);

    // Edges are rounded rather than sizes, so rectangles that touch still touch; nothing is
    // smaller than one pixel, as X has no empty windows.
    GdkRectangle toX11(const Rect& rect) const;
    Rect fromX11(const GdkRectangle& rect) const;
    // Pointer positions, which X11 gives in pixels that may be fractional.
    Point fromX11(double x, double y) const { return Point{x, rootHeight_ - y}; }
    GdkPoint toX11(const Point& point) const;

  private:
    double rootHeight_;
};

} // namespace platform::gtk
