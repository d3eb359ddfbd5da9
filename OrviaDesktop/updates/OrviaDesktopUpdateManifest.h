#pragma once

#include "updates/Release.h"

#include <optional>
#include <string_view>

namespace orvia {

// The update server's document: the one platform entry the program reads.
struct OrviaDesktopUpdateManifest {
    Release macOS;
};

// Decodes a response body (UTF-8 JSON). Any malformed, mistyped or missing part yields nullopt and
// nothing else; the caller only needs to know that no manifest came out. Never throws on bad input.
std::optional<OrviaDesktopUpdateManifest> decodeUpdateManifest(std::string_view body);

} // namespace orvia
