#pragma once

#include "fake/Log.h"
#include "platform/Window.h"

namespace fake {

// A window whose every call is logged under its role ("interface.setFrame 0,0,2,2 display=NO").
// The test plays the window manager with requestClose, miniaturize and moveByUser.
class FakeWindow final : public platform::Window {
public:
    FakeWindow(Log& log, const platform::WindowParameters& parameters);
    ~FakeWindow() override;

    platform::Rect frame() const override { return m_frame; }
    void setFrame(const platform::Rect& frame, bool display) override;
    void center() override;
    void setTitle(const std::string& title) override;
    void setTitleVisibility(platform::TitleVisibility visibility) override;
    void setTitlebarAppearsTransparent(bool transparent) override;
    void setMovableByWindowBackground(bool movable) override;
    void setMinSize(const platform::Size& size) override;
    void setLevel(platform::WindowLevel level) override;
    void setCollectionBehavior(unsigned behavior) override;
    void setHidesOnDeactivate(bool hides) override;
    void setAlphaValue(double alpha) override;
    void setIgnoresMouseEvents(bool ignores) override;
    void setOpaque(bool opaque) override;
    void setBackgroundColor(const platform::Color& color) override;
    void setHasShadow(bool hasShadow) override;
    void orderFrontRegardless() override;
    void makeKeyAndOrderFront() override;
    void orderOut() override;
    void deminiaturize() override;
    void performWindowDragWithEvent(const platform::Event& event) override;
    void setContentView(platform::View& view) override;
    void setDelegate(platform::WindowDelegate* delegate) override;

    // The window manager's close button; returns whether the window may close.
    bool requestClose();
    // The user iconifies the window.
    void miniaturize();
    // The window manager moves the window, as at the end of a window drag.
    void moveByUser(const platform::Point& origin);

    const std::string& title() const { return m_title; }
    double alpha() const { return m_alpha; }
    bool ignoresMouseEvents() const { return m_ignoresMouseEvents; }
    platform::WindowLevel level() const { return m_level; }
    bool isVisible() const { return m_visible; }
    bool isKey() const { return m_key; }
    bool isMiniaturized() const { return m_miniaturized; }
    platform::View* contentView() const { return m_contentView; }
    platform::WindowDelegate* delegate() const { return m_delegate; }

private:
    void record(const std::string& call);

    Log& m_log;
    platform::WindowParameters m_parameters;
    platform::Rect m_frame;
    std::string m_title;
    double m_alpha = 1;
    bool m_ignoresMouseEvents = false;
    platform::WindowLevel m_level = platform::WindowLevel::Normal;
    bool m_visible = false;
    bool m_key = false;
    bool m_miniaturized = false;
    platform::View* m_contentView = nullptr;
    platform::WindowDelegate* m_delegate = nullptr;
};

} // namespace fake
