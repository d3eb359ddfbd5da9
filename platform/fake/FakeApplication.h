#pragma once

#include "fake/Log.h"
#include "platform/Application.h"

#include <cstdint>
#include <string>
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
    void setMainMenu(platform::Menu menu) override;
    void beep() override;
    bool sendAction(const std::string& action, platform::ActionTarget* target,
                    platform::View* sender) override;

    void finishLaunching();
    // A quit request from outside (the session, another process); returns the delegate's reply.
    platform::TerminateReply requestQuit();
    bool reopen(bool hasVisibleWindows);
    bool hasTerminated() const { return m_terminated; }
    bool hasDelegate() const { return !m_delegate.expired(); }

    // The user chooses the first item with this title, at any depth of the main menu, or presses
    // a key with modifiers; true when an item took it and its action was performed.
    bool chooseMenuItem(const std::string& title);
    bool pressKeyEquivalent(const std::string& key, std::uint64_t modifiers);
    // The main menu, one line per item, nested items indented.
    std::vector<std::string> mainMenuDescription() const;
    const platform::Menu& mainMenu() const { return m_mainMenu; }
    struct SentAction {
        std::string action;
        platform::ActionTarget* target;
        platform::View* sender;
    };
    const std::vector<SentAction>& sentActions() const { return m_sent; }

private:
    platform::TerminateReply askToTerminate();
    bool sendItemAction(const platform::MenuItem& item);

    Log& m_log;
    std::weak_ptr<platform::ApplicationDelegate> m_delegate;
    bool m_terminated = false;
    platform::Menu m_mainMenu;
    std::vector<SentAction> m_sent;
};

} // namespace fake
