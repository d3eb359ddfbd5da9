#include "app/AppDelegate.h"
#include "app/ApplicationIdentifier.h"
#include "app/AutostartEntry.h"
#include "app/LaunchAgentPropertyList.h"
#include "platform/AtomicFile.h"

#include <system_error>

namespace orvia {

// Rewritten at every launch, so the entry follows the program wherever it was moved. Every
// failure is ignored: starting at login must never stand in the way of starting now.
void AppDelegate::installLaunchAgent() {
    auto& loginItems = os.loginItems();
    const auto folder = loginItems.folder();
    if (!folder)
        return;
    std::error_code ignored;
    std::filesystem::create_directories(*folder, ignored);

    const std::string identifier = applicationIdentifier;
    switch (loginItems.format()) {
    case platform::LoginItemFormat::LaunchdPropertyList:
        platform::writeFileAtomically(
            *folder / (identifier + ".plist"),
            launchAgentPropertyList(identifier, os.mainBundle().bundlePath().string()));
        break;
    case platform::LoginItemFormat::DesktopEntry:
        platform::writeFileAtomically(*folder / (identifier + ".desktop"),
                                      autostartEntry(os.mainBundle().executablePath().string()));
        break;
    }
}

} // namespace orvia
