#include "interface/PageRequest.h"

#include "interface/WebLink.h"

namespace orvia {

std::optional<PageRequest> pageRequestFromMessage(const nlohmann::json& body) {
    if (!body.is_object())
        return std::nullopt;
    auto type = body.find("type");
    if (type == body.end() || !type->is_string())
        return std::nullopt;
    const auto& name = type->get_ref<const std::string&>();
    if (name == "minimize")
        return CollapseRequest{};
    if (name == "wake")
        return WakeRequest{};
    if (name == "openExternal") {
        auto url = body.find("url");
        if (url == body.end() || !url->is_string() || !isWebLink(url->get_ref<const std::string&>()))
            return std::nullopt;
        return OpenExternalRequest{url->get<std::string>()};
    }
    return std::nullopt;
}

} // namespace orvia
