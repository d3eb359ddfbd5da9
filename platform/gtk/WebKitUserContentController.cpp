#include "WebKitUserContentController.h"

#include "CallbackGuard.h"
#include "FreedMemory.h"
#include "ScriptMessageBody.h"

namespace platform::gtk {

WebKitUserContentController::WebKitUserContentController() : manager_(webkit_user_content_manager_new()) {}

WebKitUserContentController::~WebKitUserContentController() {
    // Web views may keep the manager alive; the page must not reach handlers that are gone.
    for (auto& [name, registration] : registrations_) {
        registration->connection.disconnect();
        webkit_user_content_manager_unregister_script_message_handler(manager_.get(), name.c_str());
    }
}

void WebKitUserContentController::addUserScript(const UserScript& script) {
    WebKitUserScript* userScript =
        webkit_user_script_new(script.source.c_str(),
                               script.forMainFrameOnly ? WEBKIT_USER_CONTENT_INJECT_TOP_FRAME
                                                       : WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                               script.injectionTime == UserScriptInjectionTime::AtDocumentStart
                                   ? WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START
                                   : WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_END,
                               nullptr, nullptr);
    webkit_user_content_manager_add_script(manager_.get(), userScript);
    webkit_user_script_unref(userScript);
}

void WebKitUserContentController::addScriptMessageHandler(ScriptMessageHandler& handler,
                                                          const std::string& name) {
    if (registrations_.contains(name) ||
        !webkit_user_content_manager_register_script_message_handler(manager_.get(), name.c_str()))
        return;
    auto registration = std::make_unique<Registration>(Registration{name, &handler, {}});
    const std::string signal = "script-message-received::" + name;
    registration->connection =
        SignalConnection(manager_.get(), signal.c_str(), &onScriptMessage, registration.get());
    registrations_.emplace(name, std::move(registration));
}

void WebKitUserContentController::removeScriptMessageHandler(const std::string& name) {
    const auto found = registrations_.find(name);
    if (found == registrations_.end())
        return;
    webkit_user_content_manager_unregister_script_message_handler(manager_.get(), name.c_str());
    registrations_.erase(found);
}

void WebKitUserContentController::onScriptMessage(WebKitUserContentManager*, WebKitJavascriptResult* result,
                                                  gpointer data) {
    const auto* registration = static_cast<const Registration*>(data);
    callFromC([registration, result] {
        // The handler may remove its own registration; nothing of it is read afterwards.
        ScriptMessageHandler* handler = registration->handler;
        auto body = scriptMessageBody(webkit_javascript_result_get_js_value(result));
        handler->didReceiveScriptMessage(ScriptMessage{registration->name, std::move(body.value)});
        releaseFreedMemory(body.textBytes);
    });
}

} // namespace platform::gtk
