#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace platform {

// The running program's own bundle: the folder that holds the executable, and what the build
// said about the program. Fixed for the life of the process, so safe to read from any thread.
class Bundle {
public:
    virtual ~Bundle() = default;
    virtual std::filesystem::path bundlePath() const = 0;
    // The absolute path of the running executable.
    virtual std::filesystem::path executablePath() const = 0;
    // The build's Info dictionary ("CFBundleShortVersionString" holds the version); absent keys
    // give nothing.
    virtual std::optional<nlohmann::json> objectForInfoDictionaryKey(const std::string& key) const = 0;
};

} // namespace platform
