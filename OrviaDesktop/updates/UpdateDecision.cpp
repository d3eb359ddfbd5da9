#include "updates/UpdateDecision.h"

#include "interface/WebLink.h"
#include "updates/VersionComparison.h"

namespace orvia {

void UpdateDecision::decide(UpdateCheckResult result) {
    waiting.push_back(std::move(result));
    if (deciding)
        return;
    deciding = true;
    while (!waiting.empty()) {
        const UpdateCheckResult next = std::move(waiting.front());
        waiting.pop_front();
        carryOut(next);
    }
    deciding = false;
}

void UpdateDecision::carryOut(const UpdateCheckResult& result) {
    const bool silent = result.mode == UpdateCheckMode::Silent;
    if (!isVersion(result.release.version, result.currentVersion)) {
        if (!silent)
            reportUpToDate(result.currentVersion);
        return;
    }
    // The version text as received: 1.4 and 1.4.0 are offered separately.
    const std::string noticeKey = noticeKeyPrefix + result.release.version;
    if (silent && os.userDefaults().boolForKey(noticeKey))
        return;
    os.userDefaults().setBool(noticeKey, true);
    offer(result.release);
}

void UpdateDecision::offer(const Release& release) {
    auto alert = os.makeAlert();
    alert->setMessageText("Orvia Desktop " + release.version + " is ready");
    alert->setInformativeText(release.notes);
    alert->addButtonWithTitle("Download Update");
    alert->addButtonWithTitle("Later");
    // Only web addresses go to the default handler: the manifest comes from the network and must not
    // be able to open local files or start other handlers.
    if (alert->runModal() == platform::AlertResponse::FirstButton && isWebLink(release.downloadURL))
        os.workspace().openURL(release.downloadURL);
}

void UpdateDecision::reportUpToDate(const std::string& currentVersion) {
    auto alert = os.makeAlert();
    alert->setMessageText("Orvia Desktop is up to date");
    alert->setInformativeText("You have version " + currentVersion + ".");
    alert->addButtonWithTitle("OK");
    alert->runModal();
}

} // namespace orvia
