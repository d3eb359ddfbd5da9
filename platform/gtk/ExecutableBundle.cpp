#include "ExecutableBundle.h"

namespace platform::gtk {

ExecutableBundle::ExecutableBundle() : info_({{"CFBundleShortVersionString", ORVIA_VERSION}}) {
    std::error_code error;
    executable_ = std::filesystem::read_symlink("/proc/self/exe", error);
}

std::optional<nlohmann::json> ExecutableBundle::objectForInfoDictionaryKey(const std::string& key) const {
    const auto found = info_.find(key);
    if (found == info_.end())
        return std::nullopt;
    return *found;
}

} // namespace platform::gtk
