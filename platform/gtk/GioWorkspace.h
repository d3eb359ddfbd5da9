#pragma once

#include "platform/Workspace.h"

namespace platform::gtk {

// Addresses go to the desktop's default handler for their scheme.
class GioWorkspace final : public Workspace {
  public:
    bool openURL(const std::string& url) override;
};

} // namespace platform::gtk
