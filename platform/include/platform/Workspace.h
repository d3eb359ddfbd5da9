#pragma once

#include <string>

namespace platform {

class Workspace {
public:
    virtual ~Workspace() = default;
    // Hands an absolute URL to the user's default application for it. Main thread; false when
    // nothing took it.
    virtual bool openURL(const std::string& url) = 0;
};

} // namespace platform
