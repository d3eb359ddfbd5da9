#pragma once

#include <string_view>

namespace platform {

// Something a menu item or a control can send a named action to, as a selector is sent on the
// original platform. Main thread only.
class ActionResponder {
  public:
    virtual ~ActionResponder() = default;
    // Performs the action and returns true, or returns false when this responder has no such action.
    virtual bool performAction(std::string_view action) = 0;
};

} // namespace platform
