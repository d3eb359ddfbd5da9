#pragma once

#include <string>
#include <string_view>

namespace orvia {

// The launchd job that starts the program at login: eight lines, no line feed after the last.
// Both values are escaped for XML, so a bundle path holding & or < still gives a well-formed file.
std::string launchAgentPropertyList(std::string_view label, std::string_view bundlePath);

} // namespace orvia
