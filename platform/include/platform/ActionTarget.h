#pragma once

#include <string>

namespace platform {

class View;

// Something a control's action can be sent to: the action is an argument-free operation named by
// a selector-like text ("restoreFromBubble").
class ActionTarget {
  public:
    virtual ~ActionTarget() = default;
    // Performs the action when this target knows it; false when it does not. Main thread.
    virtual bool tryToPerform(const std::string& action, View* sender) = 0;
};

} // namespace platform
