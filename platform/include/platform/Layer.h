#pragma once

#include "platform/Color.h"

namespace platform {

// The drawn backing of a view: its fill, rounded outline and border. Main thread only.
class Layer {
  public:
    virtual ~Layer() = default;
    virtual void setBackgroundColor(const Color& color) = 0;
    // A radius of half the side makes a square view a circle; nothing outside it is drawn.
    virtual void setCornerRadius(double radius) = 0;
    virtual void setBorderWidth(double width) = 0;
    virtual void setBorderColor(const Color& color) = 0;
};

} // namespace platform
