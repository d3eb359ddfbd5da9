#include "platform/Application.h"

namespace platform {

bool deliverAction(const std::string& action, ActionTarget* target, ApplicationDelegate* delegate,
                   View* sender) {
    if (!target)
        target = dynamic_cast<ActionTarget*>(delegate);
    return target && target->tryToPerform(action, sender);
}

} // namespace platform
