#pragma once

namespace platform {

enum class FontWeight { Regular, Heavy };

// The system's interface font at a size in points.
struct Font {
    double size = 13;
    FontWeight weight = FontWeight::Regular;
    bool operator==(const Font&) const = default;
};

} // namespace platform
