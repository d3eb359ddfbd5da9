#include "platform/UserDefaults.h"

namespace platform {

std::optional<std::string> UserDefaults::stringForKey(const std::string& key) const {
    auto value = objectForKey(key);
    if (!value || !value->is_string())
        return std::nullopt;
    return value->get<std::string>();
}

bool UserDefaults::boolForKey(const std::string& key) const {
    auto value = objectForKey(key);
    if (!value)
        return false;
    if (value->is_boolean())
        return value->get<bool>();
    if (value->is_number())
        return value->get<double>() != 0;
    return false;
}

} // namespace platform
