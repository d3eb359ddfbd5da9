#pragma once

#include "platform/UserDefaults.h"

#include <filesystem>

namespace platform::gtk {

// One JSON object per user in $XDG_CONFIG_HOME/<application identifier>/defaults.json, read once and
// written whole, atomically, on every change.
class ConfigFileUserDefaults final : public UserDefaults {
  public:
    explicit ConfigFileUserDefaults(const std::string& applicationIdentifier);

    std::optional<nlohmann::json> objectForKey(const std::string& key) const override;
    void setObject(const std::string& key, const nlohmann::json& value) override;

  private:
    std::filesystem::path file_;
    nlohmann::json values_ = nlohmann::json::object();
};

} // namespace platform::gtk
