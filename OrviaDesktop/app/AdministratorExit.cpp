#include "app/AdministratorAuthCommand.h"
#include "app/AppDelegate.h"

namespace orvia {

// The decision is the operating system's: nothing is read, stored or compared here.
void AppDelegate::administratorExit() {
    const auto status =
        os.processLauncher().runAndWait({administratorAuthCommand.begin(), administratorAuthCommand.end()});
    if (!status) {
        os.application().beep();
        return;
    }
    if (*status == 0) {
        allowTermination = true;
        os.application().terminate();
    }
}

} // namespace orvia
