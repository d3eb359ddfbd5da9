#include "fake/FakeApplication.h"

namespace fake {

void FakeApplication::setDelegate(std::weak_ptr<platform::ApplicationDelegate> delegate) {
    m_log.add("app.setDelegate");
    m_delegate = std::move(delegate);
}

int FakeApplication::run() {
    m_log.add("app.run");
    finishLaunching();
    return 0;
}

void FakeApplication::setActivationPolicy(platform::ActivationPolicy policy) {
    m_log.add("app.setActivationPolicy " + std::to_string(static_cast<int>(policy)));
}

void FakeApplication::terminate() {
    m_log.add("app.terminate");
    askToTerminate();
}

void FakeApplication::unhide() {
    m_log.add("app.unhide");
}

void FakeApplication::activateIgnoringOtherApps(bool flag) {
    m_log.add("app.activateIgnoringOtherApps " + yesNo(flag));
}

bool FakeApplication::sendAction(const std::string& action, platform::ActionTarget* target,
                                 platform::View* sender) {
    m_log.add("app.sendAction " + action + (target ? "" : " to=delegate"));
    m_sent.push_back({action, target, sender});
    return platform::deliverAction(action, target, m_delegate.lock().get(), sender);
}

void FakeApplication::finishLaunching() {
    if (auto delegate = m_delegate.lock())
        delegate->applicationDidFinishLaunching();
}

platform::TerminateReply FakeApplication::requestQuit() {
    return askToTerminate();
}

bool FakeApplication::reopen(bool hasVisibleWindows) {
    auto delegate = m_delegate.lock();
    return delegate && delegate->applicationShouldHandleReopen(hasVisibleWindows);
}

platform::TerminateReply FakeApplication::askToTerminate() {
    auto delegate = m_delegate.lock();
    if (!delegate || m_terminated)
        return platform::TerminateReply::Cancel;
    auto reply = delegate->applicationShouldTerminate();
    if (reply == platform::TerminateReply::Now) {
        delegate->applicationWillTerminate();
        m_terminated = true;
        m_log.add("app.exit");
    }
    return reply;
}

} // namespace fake
