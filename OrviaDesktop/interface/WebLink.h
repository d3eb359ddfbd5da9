#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvia {

// The scheme of an absolute URL as written (case kept), or nothing when the text is no valid
// URL: no scheme, or characters a URL cannot hold unescaped (spaces, controls, non-ASCII, <>"{}|\^`).
std::optional<std::string> urlScheme(std::string_view url);

// An absolute URL whose scheme is exactly "https" or "http" and that names a host: the only
// addresses the shell hands to the user's browser.
bool isWebLink(std::string_view url);

} // namespace orvia
