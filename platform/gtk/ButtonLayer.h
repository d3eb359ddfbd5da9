#pragma once

#include "platform/Layer.h"

#include <functional>

namespace platform::gtk {

// A layer's values, drawn by the view that owns it; every change asks that view to redraw.
class ButtonLayer final : public Layer {
  public:
    explicit ButtonLayer(std::function<void()> changed) : changed_(std::move(changed)) {}

    void setBackgroundColor(const Color& color) override { update(backgroundColor, color); }
    void setCornerRadius(double radius) override { update(cornerRadius, radius); }
    void setBorderWidth(double width) override { update(borderWidth, width); }
    void setBorderColor(const Color& color) override { update(borderColor, color); }

    Color backgroundColor = Color::clear();
    double cornerRadius = 0;
    double borderWidth = 0;
    Color borderColor{0, 0, 0, 1};

  private:
    template <typename T> void update(T& field, const T& value) {
        field = value;
        changed_();
    }

    std::function<void()> changed_;
};

} // namespace platform::gtk
