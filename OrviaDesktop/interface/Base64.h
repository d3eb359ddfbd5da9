#pragma once

#include <string>
#include <string_view>

namespace orvia {

// Standard Base64 (RFC 4648 alphabet, "=" padding), one line without breaks.
std::string base64Encoded(std::string_view bytes);

} // namespace orvia
