#include "interface/OrviaWindowController.h"
#include "interface/RandomUUID.h"

namespace orvia {

std::string OrviaWindowController::memberID(platform::UserDefaults& defaults) {
    if (auto stored = defaults.stringForKey(memberIDKey); stored && !stored->empty())
        return *stored;
    auto made = "orvia-kiosk-" + randomUUIDString();
    defaults.setObject(memberIDKey, made);
    return made;
}

} // namespace orvia
