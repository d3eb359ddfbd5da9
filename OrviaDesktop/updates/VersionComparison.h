#pragma once

#include <string_view>

namespace orvia {

// True exactly when candidate names a strictly newer version than newerThan. Both texts are read as
// dot-separated signed 64-bit components; a piece that is not a plain decimal integer in range counts
// as 0, and so does a missing component (1.2 equals 1.2.0). Never fails.
bool isVersion(std::string_view candidate, std::string_view newerThan);

} // namespace orvia
