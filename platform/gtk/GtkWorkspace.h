#pragma once

#include "platform/Workspace.h"

namespace platform::gtk {

class GtkWorkspace final : public Workspace {
public:
    bool openURL(const std::string& url) override;
};

} // namespace platform::gtk
