#pragma once

#include "platform/Bundle.h"

#include <filesystem>

namespace platform::files {

// The program's bundle as a plain folder: the one that holds its executable, with the Info
// dictionary the build gave it.
class ExecutableFolderBundle final : public Bundle {
  public:
    ExecutableFolderBundle(std::filesystem::path executable, nlohmann::json info);

    std::filesystem::path bundlePath() const override { return m_executable.parent_path(); }
    std::filesystem::path executablePath() const override { return m_executable; }
    std::optional<nlohmann::json> objectForInfoDictionaryKey(const std::string& key) const override;

    // The running executable with every symbolic link resolved, so that a link to the program
    // (bin/OrviaDesktop) still finds the folder beside the real file. Empty when the system
    // cannot tell.
    static std::filesystem::path runningExecutable();

  private:
    std::filesystem::path m_executable;
    nlohmann::json m_info;
};

} // namespace platform::files
