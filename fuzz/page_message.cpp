#include "interface/PageRequest.h"
#include "interface/WebLink.h"

#include <cstddef>
#include <cstdint>

// Message bodies as the page could send them, and the link check on raw text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto body = nlohmann::json::parse(text, nullptr, false);
    if (auto request = orvia::pageRequestFromMessage(body)) {
        if (auto* link = std::get_if<orvia::OpenExternalRequest>(&*request);
            link && !orvia::isWebLink(link->url))
            __builtin_trap();
    }
    orvia::isWebLink(text);
    return 0;
}
