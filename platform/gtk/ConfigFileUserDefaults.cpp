#include "ConfigFileUserDefaults.h"

#include "platform/AtomicFile.h"

#include <glib.h>

#include <fstream>
#include <iterator>

namespace platform::gtk {

ConfigFileUserDefaults::ConfigFileUserDefaults(const std::string& applicationIdentifier)
    : file_(std::filesystem::path(g_get_user_config_dir()) / applicationIdentifier / "defaults.json") {
    std::ifstream input(file_, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(input)), std::istreambuf_iterator<char>());
    auto stored = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (stored.is_object())
        values_ = std::move(stored);
}

std::optional<nlohmann::json> ConfigFileUserDefaults::objectForKey(const std::string& key) const {
    const auto found = values_.find(key);
    if (found == values_.end())
        return std::nullopt;
    return *found;
}

void ConfigFileUserDefaults::setObject(const std::string& key, const nlohmann::json& value) {
    values_[key] = value;
    std::error_code error;
    std::filesystem::create_directories(file_.parent_path(), error);
    // A failed write keeps the value for this run and the earlier file whole.
    writeFileAtomically(file_, values_.dump(2, ' ', false, nlohmann::json::error_handler_t::replace));
}

} // namespace platform::gtk
