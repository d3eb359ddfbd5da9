#include "RoundedRegion.h"

#include <algorithm>
#include <cmath>

namespace platform::gtk {

cairo_region_t* roundedRegion(int width, int height, double radius) {
    radius = std::clamp(radius, 0.0, std::min(width, height) / 2.0);
    cairo_region_t* region = cairo_region_create();
    for (int row = 0; row < height; ++row) {
        const double centre = row + 0.5;
        const double intoCorner = std::max({radius - centre, centre - (height - radius), 0.0});
        const double inset = radius - std::sqrt(std::max(radius * radius - intoCorner * intoCorner, 0.0));
        const int first = static_cast<int>(std::ceil(inset - 0.5));
        const int last = static_cast<int>(std::floor(width - inset - 0.5));
        if (last < first)
            continue;
        const cairo_rectangle_int_t span{first, row, last - first + 1, 1};
        cairo_region_union_rectangle(region, &span);
    }
    return region;
}

} // namespace platform::gtk
