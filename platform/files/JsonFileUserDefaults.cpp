#include "files/JsonFileUserDefaults.h"

#include "platform/AtomicFile.h"

#include <fstream>
#include <sstream>

namespace platform::files {

JsonFileUserDefaults::JsonFileUserDefaults(std::filesystem::path file) : m_file(std::move(file)) {
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(m_file, error)))
        return;
    // Anything but a regular file (a FIFO would block the launch) counts as unreadable.
    if (!std::filesystem::is_regular_file(m_file, error)) {
        m_unreadableFileInPlace = true;
        return;
    }
    std::ifstream in(m_file, std::ios::binary);
    std::ostringstream text;
    if (in)
        text << in.rdbuf();
    auto stored = nlohmann::json::parse(text.str(), nullptr, /*allow_exceptions=*/false);
    if (in && !in.bad() && stored.is_object())
        m_values = std::move(stored);
    else
        m_unreadableFileInPlace = true;
}

std::optional<nlohmann::json> JsonFileUserDefaults::objectForKey(const std::string& key) const {
    auto found = m_values.find(key);
    if (found == m_values.end())
        return std::nullopt;
    return *found;
}

void JsonFileUserDefaults::setObject(const std::string& key, const nlohmann::json& value) {
    m_values[key] = value;
    write();
}

void JsonFileUserDefaults::write() {
    std::error_code error;
    if (std::filesystem::create_directories(m_file.parent_path(), error))
        std::filesystem::permissions(m_file.parent_path(), std::filesystem::perms::owner_all, error);
    if (m_unreadableFileInPlace && !moveUnreadableFileAside())
        return;
    // Text that is not UTF-8 cannot be JSON; it is stored with replacement characters instead of
    // throwing.
    auto text = m_values.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    text += '\n';
    writeFileAtomically(m_file, text);
}

bool JsonFileUserDefaults::moveUnreadableFileAside() {
    // Earlier unreadable files are kept too: the first free name wins.
    auto aside = m_file;
    aside += ".corrupt";
    std::error_code error;
    for (int attempt = 2; std::filesystem::exists(std::filesystem::symlink_status(aside, error)); ++attempt) {
        aside = m_file;
        aside += ".corrupt-" + std::to_string(attempt);
    }
    std::filesystem::rename(m_file, aside, error);
    if (error)
        return false;
    m_unreadableFileInPlace = false;
    return true;
}

std::filesystem::path JsonFileUserDefaults::fileLocation(const std::string& applicationIdentifier,
                                                         const char* xdgConfigHome,
                                                         const std::filesystem::path& home) {
    std::filesystem::path configHome;
    if (xdgConfigHome && std::filesystem::path(xdgConfigHome).is_absolute())
        configHome = xdgConfigHome;
    else
        configHome = home / ".config";
    return configHome / applicationIdentifier / "defaults.json";
}

} // namespace platform::files
