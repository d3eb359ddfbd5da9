#include "interface/InterfacePage.h"
#include "interface/OrviaWindowController.h"
#include "interface/ResourceLookup.h"
#include "resource_bundle_accessor/ResourceBundleAccessor.h"

namespace orvia {

std::optional<std::filesystem::path> OrviaWindowController::resourceURL(const std::string& name,
                                                                        const std::string& extension) const {
    const auto& mainBundle = os.mainBundle();
    // The main bundle is a plain folder here, so its resource folder is the folder itself.
    std::optional<std::filesystem::path> mainResourceFolder;
    if (auto path = mainBundle.bundlePath(); !path.empty())
        mainResourceFolder = path;
    return findResource(module(mainBundle), mainResourceFolder, name, extension);
}

void OrviaWindowController::loadInterface() {
    auto page = interfacePage(resourceURL("index", "html"), resourceURL("orvia-default", "webp"));
    webView->loadHTMLString(page.html, page.baseURL);
}

} // namespace orvia
