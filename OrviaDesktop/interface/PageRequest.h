#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <variant>

namespace orvia {

// What the page may ask of the shell through its "orvia" messages.
struct CollapseRequest {
    bool operator==(const CollapseRequest&) const = default;
};
struct WakeRequest {
    bool operator==(const WakeRequest&) const = default;
};
struct OpenExternalRequest {
    std::string url;
    bool operator==(const OpenExternalRequest&) const = default;
};
using PageRequest = std::variant<CollapseRequest, WakeRequest, OpenExternalRequest>;

// The request a message body makes, or nothing for any body the shell ignores. An external
// link counts only when it is an absolute http or https URL.
std::optional<PageRequest> pageRequestFromMessage(const nlohmann::json& body);

} // namespace orvia
