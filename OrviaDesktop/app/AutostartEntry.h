#pragma once

#include <string>
#include <string_view>

namespace orvia {

// The XDG autostart desktop entry that starts the program at login.
std::string autostartEntry(std::string_view executablePath);

// The value of a desktop entry's Exec key that runs the program without arguments: quoted as an
// argument, then escaped as a string value, with % doubled, as the Desktop Entry Specification asks.
std::string desktopEntryExecValue(std::string_view executablePath);

} // namespace orvia
