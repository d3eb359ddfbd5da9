#include "interface/UTF8.h"
#include "updates/OrviaDesktopUpdateManifest.h"

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>

// Whatever the server sends: only UTF-8 is ever accepted, and what is accepted reads the same once
// written out again.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    const auto manifest = orvia::decodeUpdateManifest(body);
    if (!manifest)
        return 0;
    const auto& release = manifest->macOS;
    if (release.version.size() > size || !orvia::isValidUTF8(body))
        __builtin_trap();
    const nlohmann::json again = {
        {"macOS",
         {{"version", release.version}, {"downloadURL", release.downloadURL}, {"notes", release.notes}}}};
    const auto reread = orvia::decodeUpdateManifest(again.dump());
    if (!reread || !(reread->macOS == release))
        __builtin_trap();
    return 0;
}
