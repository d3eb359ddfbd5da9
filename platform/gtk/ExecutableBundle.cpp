#include "ExecutableBundle.h"

#include <system_error>

namespace platform::gtk {

ExecutableBundle::ExecutableBundle() {
    std::error_code error;
    m_executable = std::filesystem::read_symlink("/proc/self/exe", error);
}

std::optional<nlohmann::json> ExecutableBundle::objectForInfoDictionaryKey(const std::string& key) const {
    if (key == "CFBundleShortVersionString")
        return ORVIA_VERSION;
    return std::nullopt;
}

} // namespace platform::gtk
