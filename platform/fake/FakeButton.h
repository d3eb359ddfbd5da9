#pragma once

#include "fake/FakeLayer.h"
#include "fake/Log.h"
#include "platform/Button.h"

#include <memory>

namespace fake {

// A button whose every call is logged as "button.<call>". The test plays the user's pointer with
// mouseDown, mouseDragged and mouseUp, at points on the screen.
class FakeButton final : public platform::Button {
public:
    FakeButton(Log& log, const platform::Rect& frame);

    void setTitle(const std::string& title) override;
    void setFont(const platform::Font& font) override;
    void setContentTintColor(const platform::Color& color) override;
    void setBordered(bool bordered) override;
    void setWantsLayer(bool wantsLayer) override;
    platform::Layer* layer() override { return m_layer.get(); }
    void setToolTip(const std::string& toolTip) override;
    void setTarget(platform::ActionTarget* target) override;
    platform::ActionTarget* target() const override { return m_target; }
    void setAction(std::optional<std::string> action) override;
    const std::optional<std::string>& action() const override { return m_action; }
    void setMouseEventHandler(platform::MouseEventHandler* handler) override { m_handler = handler; }
    platform::Window* window() const override { return m_window; }

    void mouseDown(const platform::Point& location);
    void mouseDragged(const platform::Point& location);
    void mouseUp(const platform::Point& location);
    // A press and release in place.
    void click(const platform::Point& location);

    // Kept by the window that shows the button.
    void setWindow(platform::Window* window) { m_window = window; }
    const std::string& title() const { return m_title; }
    const std::string& toolTip() const { return m_toolTip; }

private:
    platform::Event event(const platform::Point& location);

    Log& m_log;
    std::unique_ptr<FakeLayer> m_layer;
    std::string m_title;
    std::string m_toolTip;
    platform::ActionTarget* m_target = nullptr;
    std::optional<std::string> m_action;
    platform::MouseEventHandler* m_handler = nullptr;
    platform::Window* m_window = nullptr;
    std::uint32_t m_time = 0;
};

} // namespace fake
