#include "app/AppDelegate.h"
#include "updates/OrviaDesktopUpdateManifest.h"
#include "updates/UpdateServer.h"
#include "updates/VersionComparison.h"

namespace orvia {

namespace {

// The running program's own version; "0" when the build names none.
std::string currentVersion(platform::Bundle& bundle) {
    const auto value = bundle.objectForInfoDictionaryKey("CFBundleShortVersionString");
    return value && value->is_string() ? value->get<std::string>() : "0";
}

} // namespace

bool AppDelegate::isVersion(std::string_view candidate, std::string_view newerThan) {
    return orvia::isVersion(candidate, newerThan);
}

void AppDelegate::checkForUpdates(UpdateCheckMode mode) {
    const platform::HttpGet request{std::string(updateManifestURL),
                                    std::string(updateCertificateAuthorityFile)};
    // Runs on a worker thread. It only asks whether the delegate still exists, so it never keeps it
    // alive, and hands the decision step nothing but values.
    auto completion = [self = weak_from_this(), &os = os, decision = updateDecision,
                       mode](std::optional<std::string> body) {
        if (self.expired() || !body)
            return;
        auto manifest = decodeUpdateManifest(*body);
        if (!manifest)
            return;
        UpdateCheckResult result{std::move(manifest->macOS), currentVersion(os.mainBundle()), mode};
        os.mainQueue().async([decision, result = std::move(result)] { decision->decide(result); });
    };
    os.http().get(request, std::move(completion));
}

} // namespace orvia
