#pragma once

#include "fake/Log.h"
#include "platform/WebView.h"

#include <map>
#include <vector>

namespace fake {

class FakeUserContentController final : public platform::UserContentController {
public:
    explicit FakeUserContentController(Log& log) : m_log(log) {}

    void addUserScript(const platform::UserScript& script) override;
    void addScriptMessageHandler(platform::ScriptMessageHandler& handler, const std::string& name) override;
    void removeScriptMessageHandler(const std::string& name) override;

    // The page posts a message; false when no handler has that name (the page would get an error).
    bool post(const std::string& name, const nlohmann::json& body);
    platform::ScriptMessageHandler* handler(const std::string& name) const;
    const std::vector<platform::UserScript>& userScripts() const { return m_scripts; }

private:
    Log& m_log;
    std::vector<platform::UserScript> m_scripts;
    std::map<std::string, platform::ScriptMessageHandler*> m_handlers;
};

} // namespace fake
