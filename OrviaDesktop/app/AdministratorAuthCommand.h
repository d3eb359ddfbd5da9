#pragma once

#include <span>
#include <string_view>

namespace orvia {

// The program that authenticates an administrator, with its arguments, fixed when the program is
// linked: the shipped program takes them from the CMake cache variable ORVIA_ADMIN_AUTH_COMMAND,
// and the end-to-end tests link a copy of the program with a stand-in. Exit status 0 means an
// administrator authenticated.
extern const std::span<const std::string_view> administratorAuthCommand;

} // namespace orvia
