#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace orvia {

// The whole file as bytes; nothing when it cannot be read (missing, a directory, no permission).
std::optional<std::string> contentsOfFile(const std::filesystem::path& path);

} // namespace orvia
