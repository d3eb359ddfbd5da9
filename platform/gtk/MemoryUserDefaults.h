#pragma once

#include "platform/UserDefaults.h"

#include <map>

namespace platform::gtk {

// Kept for this run only, until the file store takes its place.
class MemoryUserDefaults final : public UserDefaults {
public:
    std::optional<nlohmann::json> objectForKey(const std::string& key) const override {
        auto found = m_values.find(key);
        return found == m_values.end() ? std::nullopt : std::optional(found->second);
    }
    void setObject(const std::string& key, const nlohmann::json& value) override { m_values[key] = value; }

private:
    std::map<std::string, nlohmann::json> m_values;
};

} // namespace platform::gtk
