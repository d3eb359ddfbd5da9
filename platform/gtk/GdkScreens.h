#pragma once

#include "platform/Screen.h"

namespace platform::gtk {

class GdkScreens final : public Screens {
  public:
    std::optional<Screen> mainScreen() const override;
};

// The primary monitor (else the first), absent without a display or monitor.
std::optional<Screen> primaryScreen();

} // namespace platform::gtk
