#include "app/AppDelegate.h"

#include <array>
#include <utility>

namespace orvia {

void AppDelegate::configureMenu() {
    platform::Menu applicationMenu;
    applicationMenu.addItemWithTitle("Show Orvia", "showOrvia", "n");
    applicationMenu.addItemWithTitle("Check for Updates...", "checkForUpdatesFromMenu", "");
    applicationMenu.addItem(platform::MenuItem::separatorItem());
    platform::MenuItem administratorExitItem;
    administratorExitItem.title = "Administrator Exit...";
    administratorExitItem.action = "administratorExit";
    administratorExitItem.keyEquivalent = "q";
    administratorExitItem.keyEquivalentModifierMask =
        platform::ModifierFlags::Command | platform::ModifierFlags::Option;
    applicationMenu.addItem(std::move(administratorExitItem));

    platform::MenuItem applicationMenuItem;
    applicationMenuItem.submenu = std::make_shared<const platform::Menu>(std::move(applicationMenu));
    platform::Menu mainMenu;
    mainMenu.addItem(std::move(applicationMenuItem));
    os.application().setMainMenu(std::move(mainMenu));
}

bool AppDelegate::tryToPerform(const std::string& action, platform::View*) {
    static constexpr std::array<std::pair<std::string_view, void (AppDelegate::*)()>, 3> actions{{
        {"showOrvia", &AppDelegate::showOrvia},
        {"checkForUpdatesFromMenu", &AppDelegate::checkForUpdatesFromMenu},
        {"administratorExit", &AppDelegate::administratorExit},
    }};
    for (const auto& [name, perform] : actions) {
        if (name == action) {
            (this->*perform)();
            return true;
        }
    }
    return false;
}

void AppDelegate::showOrvia() {
    if (orviaController)
        orviaController->showMainWindow(OrviaWindowController::Maximize::No);
}

void AppDelegate::checkForUpdatesFromMenu() {
    checkForUpdates(UpdateCheckMode::Interactive);
}

} // namespace orvia
