#include "RoundedRegion.h"

#include <gtest/gtest.h>

#include <cmath>

namespace platform::gtk {
namespace {

// The same shape told pixel by pixel: a pixel belongs when its centre is no further than the radius,
// at most half the shorter side, from the nearest point of the rectangle shrunk by the radius.
bool insideRoundedRectangle(int x, int y, int width, int height, double radius) {
    radius = std::min(radius, std::min(width, height) / 2.0);
    const double cx = x + 0.5;
    const double cy = y + 0.5;
    const double nearestX = std::clamp(cx, radius, width - radius);
    const double nearestY = std::clamp(cy, radius, height - radius);
    return std::hypot(cx - nearestX, cy - nearestY) <= radius;
}

TEST(RoundedRegionTest, HoldsExactlyThePixelsWhoseCentresAreInside) {
    const std::tuple<int, int, double> cases[] = {
        {112, 112, 56}, {112, 112, 20}, {31, 17, 8.5}, {40, 10, 0}, {100, 20, 500}};
    for (auto [width, height, radius] : cases) {
        SCOPED_TRACE(testing::Message() << width << "x" << height << " r" << radius);
        cairo_region_t* shape = roundedRegion(width, height, radius);
        int mismatches = 0;
        for (int y = -1; y <= height; ++y)
            for (int x = -1; x <= width; ++x) {
                const bool expected = x >= 0 && y >= 0 && x < width && y < height &&
                                      insideRoundedRectangle(x, y, width, height, radius);
                mismatches += cairo_region_contains_point(shape, x, y) != expected;
            }
        cairo_region_destroy(shape);
        EXPECT_EQ(mismatches, 0);
    }
}

} // namespace
} // namespace platform::gtk
