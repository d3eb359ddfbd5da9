#pragma once

#include "platform/Geometry.h"

#include <optional>

namespace platform {

struct Screen {
    Rect frame;
    // The frame less the panels and docks: the work area.
    Rect visibleFrame;
};

class Screens {
public:
    virtual ~Screens() = default;
    // The primary monitor, absent when there is no display.
    virtual std::optional<Screen> mainScreen() const = 0;
};

} // namespace platform
