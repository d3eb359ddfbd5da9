#pragma once

#include "platform/UserDefaults.h"

#include <filesystem>
#include <string>

namespace platform::files {

// User defaults kept in one JSON object on disk, read once when made and rewritten atomically on
// every change. A file that is not a JSON object is moved aside before the first write rather
// than overwritten; until then, and when no file exists, the defaults start empty. A write that
// fails keeps the value for this run and leaves the earlier file whole. Nothing here throws
// to the caller. Main thread only.
class JsonFileUserDefaults final : public UserDefaults {
  public:
    explicit JsonFileUserDefaults(std::filesystem::path file);

    std::optional<nlohmann::json> objectForKey(const std::string& key) const override;
    void setObject(const std::string& key, const nlohmann::json& value) override;

    // "<config home>/<application identifier>/defaults.json": the config home is
    // $XDG_CONFIG_HOME when set to an absolute path, else "<home>/.config".
    static std::filesystem::path fileLocation(const std::string& applicationIdentifier,
                                              const char* xdgConfigHome, const std::filesystem::path& home);

  private:
    void write();
    bool moveUnreadableFileAside();

    std::filesystem::path m_file;
    nlohmann::json m_values = nlohmann::json::object();
    bool m_unreadableFileInPlace = false;
};

} // namespace platform::files
