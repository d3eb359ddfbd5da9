#include "files/ExecutableFolderBundle.h"

namespace platform::files {

ExecutableFolderBundle::ExecutableFolderBundle(std::filesystem::path executable, nlohmann::json info)
    : m_executable(std::move(executable)), m_info(std::move(info)) {}

std::optional<nlohmann::json>
ExecutableFolderBundle::objectForInfoDictionaryKey(const std::string& key) const {
    if (!m_info.is_object() || !m_info.contains(key))
        return std::nullopt;
    return m_info.at(key);
}

std::filesystem::path ExecutableFolderBundle::runningExecutable() {
    std::error_code error;
    auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : executable;
}

} // namespace platform::files
