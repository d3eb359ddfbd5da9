#pragma once

#include <string>

namespace orvia {

// A new random (version 4) UUID in canonical lowercase text, 36 characters.
std::string randomUUIDString();

} // namespace orvia
