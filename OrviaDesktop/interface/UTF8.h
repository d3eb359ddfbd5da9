#pragma once

#include <string_view>

namespace orvia {

// Well-formed UTF-8 as the Unicode standard defines it: no overlong forms, no surrogates,
// nothing above U+10FFFF, no truncated sequences.
bool isValidUTF8(std::string_view bytes);

} // namespace orvia
