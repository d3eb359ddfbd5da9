#pragma once

#include "platform/Bundle.h"

namespace platform::gtk {

// The folder holding the running executable, and the version the build gave the program.
class ExecutableBundle final : public Bundle {
  public:
    ExecutableBundle();

    std::filesystem::path bundlePath() const override { return executable_.parent_path(); }
    std::filesystem::path executablePath() const override { return executable_; }
    std::optional<nlohmann::json> objectForInfoDictionaryKey(const std::string& key) const override;

  private:
    std::filesystem::path executable_;
    nlohmann::json info_;
};

} // namespace platform::gtk
