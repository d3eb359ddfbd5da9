#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace orvia {

// A directory bundle of resource files, such as "OrviaDesktop_OrviaDesktop.bundle".
class ResourceBundle {
  public:
    // A bundle is any directory (a symbolic link to one counts); anything else gives nothing.
    static std::optional<ResourceBundle> open(const std::filesystem::path& path);

    const std::filesystem::path& bundlePath() const { return m_path; }

    // The resource "name.extension" in the subdirectory, when something of that name exists there
    // (a directory counts: reading it is what fails).
    std::optional<std::filesystem::path> urlForResource(std::string_view name, std::string_view extension,
                                                        std::string_view subdirectory) const;

  private:
    explicit ResourceBundle(std::filesystem::path path) : m_path(std::move(path)) {}

    std::filesystem::path m_path;
};

// "name.extension": how a resource is named on disk.
std::string resourceFileName(std::string_view name, std::string_view extension);

} // namespace orvia
