#pragma once

#include "platform/ActionTarget.h"
#include "platform/Color.h"
#include "platform/Event.h"
#include "platform/Font.h"
#include "platform/Layer.h"
#include "platform/View.h"

#include <optional>
#include <string>

namespace platform {

class Window;

// A push button that draws its title over its layer. It tracks no presses of its own: its mouse
// events go to the handler, which decides what a press means and sends the action. Main thread only.
class Button : public View {
  public:
    // Line feeds in the title start new lines, each centred.
    virtual void setTitle(const std::string& title) = 0;
    virtual void setFont(const Font& font) = 0;
    // The title's colour.
    virtual void setContentTintColor(const Color& color) = 0;
    virtual void setBordered(bool bordered) = 0;
    virtual void setWantsLayer(bool wantsLayer) = 0;
    // Present once the button wants a layer.
    virtual Layer* layer() = 0;
    virtual void setToolTip(const std::string& toolTip) = 0;

    // Not owned; null sends the action up to the application delegate.
    virtual void setTarget(ActionTarget* target) = 0;
    virtual ActionTarget* target() const = 0;
    virtual void setAction(std::optional<std::string> action) = 0;
    virtual const std::optional<std::string>& action() const = 0;

    // Not owned; without a handler the button ignores the mouse.
    virtual void setMouseEventHandler(MouseEventHandler* handler) = 0;
    // The window whose content view this is, or null.
    virtual Window* window() const = 0;
};

} // namespace platform
