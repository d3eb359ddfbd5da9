#pragma once

#include <string>

namespace orvia {

// One platform's current release, as the update manifest names it. The texts are kept exactly as received.
struct Release {
    std::string version;
    std::string downloadURL;
    std::string notes;

    bool operator==(const Release&) const = default;
};

} // namespace orvia
