#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace platform {

// The user's persistent key-value settings. Main thread only. Writes never fail visibly: a
// failed write keeps the value for this run and leaves what was stored before intact.
class UserDefaults {
public:
    virtual ~UserDefaults() = default;
    virtual std::optional<nlohmann::json> objectForKey(const std::string& key) const = 0;
    virtual void setObject(const std::string& key, const nlohmann::json& value) = 0;

    // Present only when the stored value is a string.
    std::optional<std::string> stringForKey(const std::string& key) const;
    // True for a stored true or non-zero number; false for anything else or nothing.
    bool boolForKey(const std::string& key) const;
    void setBool(const std::string& key, bool value) { setObject(key, value); }
};

} // namespace platform
