#pragma once

#include "platform/Process.h"

namespace platform::gtk {

class GlibProcessLauncher final : public ProcessLauncher {
public:
    std::optional<int> runAndWait(const std::vector<std::string>& arguments) override;
};

} // namespace platform::gtk
