#pragma once

#include "fake/Log.h"
#include "platform/Layer.h"

namespace fake {

// A button's layer, logged as "button.layer.<call>".
class FakeLayer final : public platform::Layer {
public:
    explicit FakeLayer(Log& log) : m_log(log) {}

    void setBackgroundColor(const platform::Color& color) override;
    void setCornerRadius(double radius) override;
    void setBorderWidth(double width) override;
    void setBorderColor(const platform::Color& color) override;

private:
    Log& m_log;
};

} // namespace fake
