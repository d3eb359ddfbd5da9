#pragma once

#include <filesystem>
#include <string>

namespace orvia {

// The folder as an absolute file: URL ending in "/", so that relative references resolve
// inside it. Bytes that may not stand in a URL path are percent-encoded.
std::string fileURLForFolder(const std::filesystem::path& folder);

} // namespace orvia
