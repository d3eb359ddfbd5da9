#pragma once

#include <string>

namespace platform {

// Screen points with the origin at the bottom left of the screen and y growing upwards.
struct Size {
    double width = 0;
    double height = 0;
    bool operator==(const Size&) const = default;
};

struct Point {
    double x = 0;
    double y = 0;
    bool operator==(const Point&) const = default;
};

struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double minX() const { return x; }
    double minY() const { return y; }
    double maxX() const { return x + width; }
    double maxY() const { return y + height; }
    bool operator==(const Rect&) const = default;
};

// "x,y,width,height" with the shortest exact decimal form of each value, for logs and tests.
std::string describe(const Rect& rect);
std::string describe(const Size& size);

} // namespace platform
