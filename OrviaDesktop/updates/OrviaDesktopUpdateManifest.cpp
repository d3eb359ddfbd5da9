#include "updates/OrviaDesktopUpdateManifest.h"

#include <nlohmann/json.hpp>

namespace orvia {

namespace {

using nlohmann::json;

// Null when the member is absent or holds anything but a string.
const std::string* stringMember(const json& object, const char* name) {
    const auto member = object.find(name);
    return member != object.end() ? member->get_ptr<const std::string*>() : nullptr;
}

} // namespace

std::optional<OrviaDesktopUpdateManifest> decodeUpdateManifest(std::string_view body) {
    // Parsing without exceptions: the body comes from the network, so a syntax error or invalid UTF-8
    // is an ordinary outcome and yields a discarded value, which is no object. Of duplicate member
    // names the last one counts, as nlohmann-json keeps it.
    const json document = json::parse(body.begin(), body.end(), nullptr, /*allow_exceptions=*/false);
    if (!document.is_object())
        return std::nullopt;
    const auto platform = document.find("macOS");
    if (platform == document.end() || !platform->is_object())
        return std::nullopt;

    const std::string* version = stringMember(*platform, "version");
    const std::string* downloadURL = stringMember(*platform, "downloadURL");
    const std::string* notes = stringMember(*platform, "notes");
    if (!version || !downloadURL || !notes)
        return std::nullopt;
    return OrviaDesktopUpdateManifest{Release{*version, *downloadURL, *notes}};
}

} // namespace orvia
