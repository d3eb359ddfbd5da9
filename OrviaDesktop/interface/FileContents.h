#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace orvia {

// The whole regular file as bytes; nothing when it cannot be read (missing, no permission) or
// is something else (a directory, a FIFO).
std::optional<std::string> contentsOfFile(const std::filesystem::path& path);

} // namespace orvia
