#pragma once

#include "fake/Log.h"
#include "platform/Application.h"

#include <vector>

namespace fake {

// The shared application. The test plays the system: it finishes launching, asks to quit and
// reopens the application.
class FakeApplication final : public platform::Application {
public:
    explicit FakeApplication(Log& log) : m_log(log) {}

    void setDelegate(std::weak_ptr<platform::ApplicationDelegate> delegate) override;
    int run() override;
    void setActivationPolicy(platform::ActivationPolicy policy) override;
    void terminate() override;
    void unhide() override;
    void activateIgnoringOtherApps(bool flag) override;
    bool sendAction(const std::string& action, platform::ActionTarget* target,
                    platform::View* sender) override;

    void finishLaunching();
    // A quit request from outside (the session, another process); returns the delegate's reply.
    platform::TerminateReply requestQuit();
    bool reopen(bool hasVisibleWindows);
    bool hasTerminated() const { return m_terminated; }
    bool hasDelegate() const { return !m_delegate.expired(); }

    struct SentAction {
        std::string action;
        platform::ActionTarget* target;
        platform::View* sender;
    };
    const std::vector<SentAction>& sentActions() const { return m_sent; }

private:
    platform::TerminateReply askToTerminate();

    Log& m_log;
    std::weak_ptr<platform::ApplicationDelegate> m_delegate;
    bool m_terminated = false;
    std::vector<SentAction> m_sent;
};

} // namespace fake
