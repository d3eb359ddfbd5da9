#include "ScreenCoordinates.h"

#include <gtest/gtest.h>

namespace platform::gtk {
namespace {

bool operator==(const GdkRectangle& a, const GdkRectangle& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

// On a 1440 x 900 X screen whose work area leaves 48 pixels at the bottom; edges are rounded so that
// neighbours still touch, and never to an empty window.
TEST(ScreenCoordinatesTest, ConvertsBetweenBottomLeftAndTopLeftOriginsRoundingEdgesSoNeighboursStillTouch) {
    const std::tuple<const char*, Rect, GdkRectangle> cases[] = {
        {"work area above a bottom panel", {0, 48, 1440, 852}, {0, 0, 1440, 852}},
        {"collapsed at the work area's bottom left", {0, 48, 2, 2}, {0, 850, 2, 2}},
        {"top right corner", {1340, 800, 100, 100}, {1340, 0, 100, 100}},
        {"beyond the screen's top", {10, 950, 20, 20}, {10, -70, 20, 20}},
    };
    const ScreenCoordinates coordinates(900);
    for (const auto& [name, layer, x11] : cases) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(coordinates.toX11(layer) == x11);
        EXPECT_EQ(coordinates.fromX11(x11), layer);
    }

    const GdkRectangle lower = coordinates.toX11({0.4, 100.4, 10.2, 50.3});
    const GdkRectangle upper = coordinates.toX11({0.4, 150.7, 10.2, 20});
    EXPECT_EQ(lower.y, upper.y + upper.height);
    EXPECT_EQ(lower.x, 0);
    EXPECT_EQ(lower.width, 11);
    const GdkRectangle empty = coordinates.toX11({5, 5, 0.2, 0});
    EXPECT_EQ(empty.width, 1);
    EXPECT_EQ(empty.height, 1);
}

} // namespace
} // namespace platform::gtk
