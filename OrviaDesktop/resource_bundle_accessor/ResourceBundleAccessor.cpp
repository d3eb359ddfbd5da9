#include "resource_bundle_accessor/ResourceBundleAccessor.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>

namespace orvia {

ResourceBundleLocations resourceBundleLocations(const platform::Bundle& mainBundle) {
    return {mainBundle.bundlePath() / resourceBundleName, ORVIA_BUILD_TIME_RESOURCE_BUNDLE_PATH};
}

std::optional<ResourceBundle> openResourceBundle(const ResourceBundleLocations& locations) {
    if (auto bundle = ResourceBundle::open(locations.first))
        return bundle;
    return ResourceBundle::open(locations.second);
}

std::string missingResourceBundleMessage(const ResourceBundleLocations& locations) {
    return "could not load resource bundle: from " + locations.first.string() + " or " +
           locations.second.string();
}

const ResourceBundle& module(const platform::Bundle& mainBundle) {
    // A process has one main bundle, so this opens the resource bundle once; keeping the answer
    // per main bundle means it always belongs to the bundle asked about.
    static std::mutex opening;
    static std::map<std::filesystem::path, ResourceBundle> opened;

    auto locations = resourceBundleLocations(mainBundle);
    std::lock_guard lock(opening);
    if (auto found = opened.find(locations.first); found != opened.end())
        return found->second;
    auto bundle = openResourceBundle(locations);
    if (!bundle) {
        std::fprintf(stderr, "%s\n", missingResourceBundleMessage(locations).c_str());
        // At once: nothing of the program's state is worth tearing down, and static destructors
        // could race the toolkit's threads.
        std::_Exit(missingResourceBundleExitStatus);
    }
    return opened.emplace(locations.first, *bundle).first->second;
}

} // namespace orvia
