#pragma once

#include <filesystem>
#include <string_view>

namespace platform {

// Replaces the file's contents all at once: a temporary file beside it, flushed to disk, then
// renamed over it. On any failure the earlier file is left whole and false is returned.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view contents);

} // namespace platform
