#pragma once

#include "resource_bundle_accessor/ResourceBundle.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace orvia {

// A resource file: first the resource bundle's own "Resources", then, in the main bundle's
// resource folder (when there is one), "<resource bundle>/Resources/N", "<resource bundle>/N"
// and "N", where N is "name.extension". The first that exists wins, a directory included.
std::optional<std::filesystem::path>
findResource(const ResourceBundle& resourceBundle,
             const std::optional<std::filesystem::path>& mainResourceFolder, std::string_view name,
             std::string_view extension);

} // namespace orvia
