#pragma once

#include "platform/Bundle.h"

namespace platform::gtk {

// The bundle is the folder that holds the running executable.
class ExecutableBundle final : public Bundle {
public:
    ExecutableBundle();
    std::filesystem::path bundlePath() const override { return m_executable.parent_path(); }
    std::filesystem::path executablePath() const override { return m_executable; }
    std::optional<nlohmann::json> objectForInfoDictionaryKey(const std::string& key) const override;

private:
    std::filesystem::path m_executable;
};

} // namespace platform::gtk
