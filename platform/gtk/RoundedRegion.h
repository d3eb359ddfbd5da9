#pragma once

#include <cairo.h>

namespace platform::gtk {

// The whole pixels whose centres lie inside a rectangle of width x height with corners rounded to
// radius (clamped to half the shorter side): a shape mask that has no half-covered edge pixels.
// The caller owns the region.
cairo_region_t* roundedRegion(int width, int height, double radius);

} // namespace platform::gtk
