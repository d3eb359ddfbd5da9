#include "interface/PageRequest.h"
#include "interface/WebLink.h"

#include <cstddef>
#include <cstdint>

// Message bodies as the page could send them, and the link check on raw text: only an object whose
// "type" is exactly one of the three request names is a request, and a link it carries is a web link.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto body = nlohmann::json::parse(text, nullptr, false);
    if (auto request = orvia::pageRequestFromMessage(body)) {
        const auto type = body.is_object() ? body.find("type") : body.end();
        const auto* name = type != body.end() ? type->get_ptr<const std::string*>() : nullptr;
        if (!name || (*name != "minimize" && *name != "wake" && *name != "openExternal"))
            __builtin_trap();
        if (auto* link = std::get_if<orvia::OpenExternalRequest>(&*request);
            link && !orvia::isWebLink(link->url))
            __builtin_trap();
    }
    orvia::isWebLink(text);
    return 0;
}
