#include "fake/FakeApplication.h"

#include <charconv>
#include <functional>

namespace fake {

namespace {

const platform::MenuItem* findItem(const platform::Menu& menu,
                                   const std::function<bool(const platform::MenuItem&)>& matches) {
    for (const auto& item : menu.items) {
        if (matches(item))
            return &item;
        if (item.submenu)
            if (const auto* found = findItem(*item.submenu, matches))
                return found;
    }
    return nullptr;
}

void describe(const platform::Menu& menu, const std::string& indent, std::vector<std::string>& lines) {
    for (const auto& item : menu.items) {
        if (item.isSeparator) {
            lines.push_back(indent + "separator");
            continue;
        }
        char mask[20];
        const auto end = std::to_chars(mask, mask + sizeof mask, item.keyEquivalentModifierMask, 16).ptr;
        std::string line = indent + "item title=\"" + item.title + "\" key=\"" + item.keyEquivalent +
                           "\" mask=0x" + std::string(mask, end) + " action=" + item.action +
                           " target=" + (item.target ? "set" : "none");
        if (item.submenu)
            line += " submenu title=\"" + item.submenu->title + "\"";
        lines.push_back(line);
        if (item.submenu)
            describe(*item.submenu, indent + "  ", lines);
    }
}

} // namespace

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

void FakeApplication::setMainMenu(platform::Menu menu) {
    m_log.add("app.setMainMenu");
    m_mainMenu = std::move(menu);
}

void FakeApplication::beep() {
    m_log.add("app.beep");
}

bool FakeApplication::chooseMenuItem(const std::string& title) {
    const auto* item = findItem(m_mainMenu, [&](const platform::MenuItem& candidate) {
        return !candidate.isSeparator && candidate.title == title;
    });
    return item && sendItemAction(*item);
}

bool FakeApplication::pressKeyEquivalent(const std::string& key, std::uint64_t modifiers) {
    const auto* item = findItem(m_mainMenu, [&](const platform::MenuItem& candidate) {
        return !candidate.keyEquivalent.empty() && candidate.keyEquivalent == key &&
               candidate.keyEquivalentModifierMask == modifiers;
    });
    return item && sendItemAction(*item);
}

std::vector<std::string> FakeApplication::mainMenuDescription() const {
    std::vector<std::string> lines;
    describe(m_mainMenu, "", lines);
    return lines;
}

bool FakeApplication::sendItemAction(const platform::MenuItem& item) {
    return !item.action.empty() && sendAction(item.action, item.target, nullptr);
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
