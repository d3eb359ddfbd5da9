#include "resource_bundle_accessor/ResourceBundle.h"

#include <string>

namespace orvia {

std::optional<ResourceBundle> ResourceBundle::open(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_directory(path, error))
        return std::nullopt;
    return ResourceBundle(path);
}

std::optional<std::filesystem::path> ResourceBundle::urlForResource(std::string_view name,
                                                                    std::string_view extension,
                                                                    std::string_view subdirectory) const {
    auto candidate = m_path / subdirectory / resourceFileName(name, extension);
    std::error_code error;
    if (!std::filesystem::exists(candidate, error))
        return std::nullopt;
    return candidate;
}

std::string resourceFileName(std::string_view name, std::string_view extension) {
    std::string fileName(name);
    fileName += '.';
    fileName += extension;
    return fileName;
}

} // namespace orvia
