#pragma once

#include "platform/Color.h"
#include "platform/Event.h"
#include "platform/Geometry.h"
#include "platform/View.h"

#include <string>

namespace platform {

namespace WindowStyleMask {
inline constexpr unsigned Titled = 1;
inline constexpr unsigned Closable = 2;
inline constexpr unsigned Miniaturizable = 4;
inline constexpr unsigned Resizable = 8;
// A borderless panel that never takes the focus nor activates the application.
inline constexpr unsigned NonactivatingPanel = 128;
inline constexpr unsigned FullSizeContentView = 32768;
} // namespace WindowStyleMask

namespace WindowCollectionBehavior {
inline constexpr unsigned CanJoinAllSpaces = 1;
inline constexpr unsigned FullScreenAuxiliary = 256;
} // namespace WindowCollectionBehavior

enum class WindowLevel { Normal = 0, Floating = 3 };

enum class TitleVisibility { Visible = 0, Hidden = 1 };

// Window callbacks, on the main thread.
class WindowDelegate {
  public:
    virtual ~WindowDelegate() = default;
    // The user or the window manager asked to close; false keeps the window.
    virtual bool windowShouldClose() = 0;
    virtual void windowDidMiniaturize() = 0;
};

struct WindowParameters {
    Rect contentRect;
    unsigned styleMask = 0;
    // Names the window for window managers and tools ("interface", "bubble").
    std::string role;
};

// A top-level window. Frames are in screen points (origin bottom left). Main thread only.
class Window {
  public:
    virtual ~Window() = default;

    virtual Rect frame() const = 0;
    // Applies exactly, even below the minimum size: the minimum limits the user's resizing only.
    virtual void setFrame(const Rect& frame, bool display) = 0;
    virtual void center() = 0;

    virtual void setTitle(const std::string& title) = 0;
    virtual void setTitleVisibility(TitleVisibility visibility) = 0;
    virtual void setTitlebarAppearsTransparent(bool transparent) = 0;
    virtual void setMovableByWindowBackground(bool movable) = 0;
    virtual void setMinSize(const Size& size) = 0;
    virtual void setLevel(WindowLevel level) = 0;
    virtual void setCollectionBehavior(unsigned behavior) = 0;
    virtual void setHidesOnDeactivate(bool hides) = 0;
    virtual void setAlphaValue(double alpha) = 0;
    virtual void setIgnoresMouseEvents(bool ignores) = 0;
    // A window that is not opaque shows what lies behind wherever its content draws nothing.
    virtual void setOpaque(bool opaque) = 0;
    virtual void setBackgroundColor(const Color& color) = 0;
    virtual void setHasShadow(bool hasShadow) = 0;

    // On screen and raised, without taking focus or activating the application.
    virtual void orderFrontRegardless() = 0;
    // On screen, raised and given the keyboard focus.
    virtual void makeKeyAndOrderFront() = 0;
    virtual void orderOut() = 0;
    virtual void deminiaturize() = 0;
    // Hands the window to the window manager's move, which follows the pointer until the button
    // that the event belongs to is released.
    virtual void performWindowDragWithEvent(const Event& event) = 0;

    // The view must outlive the window.
    virtual void setContentView(View& view) = 0;
    // Not owned; null removes the delegate.
    virtual void setDelegate(WindowDelegate* delegate) = 0;
};

} // namespace platform
