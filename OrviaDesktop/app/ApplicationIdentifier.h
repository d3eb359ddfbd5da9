#pragma once

namespace orvia {

// Names the running application to the system; also the login start entry's name.
inline constexpr const char* applicationIdentifier = "ai.orvia.orvia-desktop";

} // namespace orvia
