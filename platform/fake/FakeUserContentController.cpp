#include "fake/FakeUserContentController.h"

namespace fake {

void FakeUserContentController::addUserScript(const platform::UserScript& script) {
    m_scripts.push_back(script);
    bool atStart = script.injectionTime == platform::UserScriptInjectionTime::AtDocumentStart;
    m_log.add(std::string("content.addUserScript ") + (atStart ? "start" : "end") +
              " mainFrameOnly=" + yesNo(script.forMainFrameOnly) + " " + script.source);
}

void FakeUserContentController::addScriptMessageHandler(platform::ScriptMessageHandler& handler,
                                                        const std::string& name) {
    m_log.add("content.addScriptMessageHandler " + name);
    m_handlers.try_emplace(name, &handler);
}

void FakeUserContentController::removeScriptMessageHandler(const std::string& name) {
    m_log.add("content.removeScriptMessageHandler " + name);
    m_handlers.erase(name);
}

bool FakeUserContentController::post(const std::string& name, const nlohmann::json& body) {
    auto* target = handler(name);
    if (!target)
        return false;
    target->didReceiveScriptMessage({name, body});
    return true;
}

platform::ScriptMessageHandler* FakeUserContentController::handler(const std::string& name) const {
    auto found = m_handlers.find(name);
    return found == m_handlers.end() ? nullptr : found->second;
}

} // namespace fake
