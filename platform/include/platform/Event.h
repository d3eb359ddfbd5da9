#pragma once

#include "platform/Geometry.h"

#include <cstdint>

namespace platform {

// A mouse event as the view received it. The backend that made it can start a window drag from it.
struct Event {
    // In screen points (origin bottom left).
    Point locationInScreen;
    // 0 for the primary button.
    int buttonNumber = 0;
    // The system's event time in milliseconds.
    std::uint32_t timestamp = 0;
};

// Takes a view's mouse events instead of the view's own handling. Main thread.
class MouseEventHandler {
  public:
    virtual ~MouseEventHandler() = default;
    virtual void mouseDown(const Event& event) = 0;
    // Every pointer motion while the button is held, however small.
    virtual void mouseDragged(const Event& event) = 0;
    virtual void mouseUp(const Event& event) = 0;
};

} // namespace platform
