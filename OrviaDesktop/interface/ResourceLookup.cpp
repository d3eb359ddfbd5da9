#include "interface/ResourceLookup.h"

#include "resource_bundle_accessor/ResourceBundleAccessor.h"

namespace orvia {

std::optional<std::filesystem::path>
findResource(const ResourceBundle& resourceBundle,
             const std::optional<std::filesystem::path>& mainResourceFolder, std::string_view name,
             std::string_view extension) {
    if (auto found = resourceBundle.urlForResource(name, extension, "Resources"))
        return found;
    if (!mainResourceFolder)
        return std::nullopt;

    const auto fileName = resourceFileName(name, extension);
    const auto besideBundle = *mainResourceFolder / resourceBundleName;
    for (const auto& candidate :
         {besideBundle / "Resources" / fileName, besideBundle / fileName, *mainResourceFolder / fileName}) {
        std::error_code error;
        if (std::filesystem::exists(candidate, error))
            return candidate;
    }
    return std::nullopt;
}

} // namespace orvia
