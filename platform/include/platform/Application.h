#pragma once

#include "platform/ActionTarget.h"

#include <memory>
#include <string>

namespace platform {

enum class ActivationPolicy { Regular = 0 };

enum class TerminateReply { Cancel = 0, Now = 1 };

// Lifecycle callbacks, all on the main thread.
class ApplicationDelegate {
  public:
    virtual ~ApplicationDelegate() = default;
    virtual void applicationDidFinishLaunching() = 0;
    // Every quit request reaches this, whatever its source (the program itself, the session).
    virtual TerminateReply applicationShouldTerminate() = 0;
    virtual void applicationWillTerminate() = 0;
    // A second launch of the program reopens the running one.
    virtual bool applicationShouldHandleReopen(bool hasVisibleWindows) = 0;
};

// The shared application: the event loop and application-wide state. Main thread only.
class Application {
  public:
    virtual ~Application() = default;
    // Held weakly, as the original platform does: the process entry owns the delegate.
    virtual void setDelegate(std::weak_ptr<ApplicationDelegate> delegate) = 0;
    // Runs the event loop until the application terminates; returns the process exit status.
    virtual int run() = 0;
    virtual void setActivationPolicy(ActivationPolicy policy) = 0;
    // A quit request from within: asks the delegate, and on Now ends the loop after
    // applicationWillTerminate.
    virtual void terminate() = 0;
    virtual void unhide() = 0;
    virtual void activateIgnoringOtherApps(bool flag) = 0;
    // Sends a control's action to the target, or with a null target to the delegate, as the
    // responder chain would end there. True when someone performed it.
    virtual bool sendAction(const std::string& action, ActionTarget* target, View* sender) = 0;
};

// What every backend's sendAction does once it has its delegate: a null target stands for the
// delegate, when the delegate takes actions at all.
bool deliverAction(const std::string& action, ActionTarget* target, ApplicationDelegate* delegate,
                   View* sender);

} // namespace platform
