#pragma once

#include "platform/Workspace.h"

namespace platform::gtk {

// The user's default handlers, as GIO finds them (mimeapps.list, x-scheme-handler/<scheme>).
class GioWorkspace final : public Workspace {
  public:
    bool openURL(const std::string& url) override;
};

} // namespace platform::gtk
