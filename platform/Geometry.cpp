#include "platform/Geometry.h"

#include <charconv>

namespace platform {

static std::string shortest(double value) {
    char buffer[32];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, error == std::errc() ? end : buffer);
}

std::string describe(const Rect& rect) {
    return shortest(rect.x) + "," + shortest(rect.y) + "," + shortest(rect.width) + "," + shortest(rect.height);
}

std::string describe(const Size& size) { return shortest(size.width) + "x" + shortest(size.height); }

} // namespace platform
