#pragma once

#include "platform/Bundle.h"
#include "resource_bundle_accessor/ResourceBundle.h"

#include <filesystem>
#include <optional>
#include <string>

namespace orvia {

inline constexpr const char* resourceBundleName = "OrviaDesktop_OrviaDesktop.bundle";

// The exit status of the one fatal stop (EX_CONFIG): apart from the 1 the toolkit ends with when
// it loses its display, so that a supervisor can tell an installation that starting again cannot mend.
inline constexpr int missingResourceBundleExitStatus = 78;

// Where the resource bundle may lie, in the order tried: beside the executable, then where the
// build installs it.
struct ResourceBundleLocations {
    std::filesystem::path first;
    std::filesystem::path second;
};

ResourceBundleLocations resourceBundleLocations(const platform::Bundle& mainBundle);
std::optional<ResourceBundle> openResourceBundle(const ResourceBundleLocations& locations);
std::string missingResourceBundleMessage(const ResourceBundleLocations& locations);

// The resource bundle, opened on first use and kept to the end of the process. Without one the
// program stops here, its only fatal stop: the message on standard error, exit status
// missingResourceBundleExitStatus.
// Thread-safe: a concurrent first use waits for the first.
const ResourceBundle& module(const platform::Bundle& mainBundle);

} // namespace orvia
