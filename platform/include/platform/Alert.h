#pragma once

#include <string>

namespace platform {

namespace AlertResponse {
// The first button added answers 1000, the second 1001, and so on.
inline constexpr int FirstButton = 1000;
inline constexpr int SecondButton = 1001;
// The alert was dismissed without a button (Escape, the window manager's close).
inline constexpr int Dismissed = 0;
} // namespace AlertResponse

// An application-modal message with buttons. The window's title is the message text, so that
// assistive tools and window managers can tell alerts apart. Main thread only.
class Alert {
public:
    virtual ~Alert() = default;
    virtual void setMessageText(const std::string& text) = 0;
    virtual void setInformativeText(const std::string& text) = 0;
    // Buttons appear in the order added; the first is the default button (Return chooses it).
    virtual void addButtonWithTitle(const std::string& title) = 0;
    // Shows the alert above the program's other windows and returns the user's answer. It runs a
    // nested event loop meanwhile: window events and main-queue tasks keep being handled, so a task
    // may run while the alert waits.
    virtual int runModal() = 0;
};

} // namespace platform
