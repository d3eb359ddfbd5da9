#pragma once

#include "GObjectRef.h"
#include "SignalConnection.h"
#include "platform/WebView.h"

#include <webkit2/webkit2.h>

#include <map>
#include <memory>
#include <string>

namespace platform::gtk {

// A WebKitUserContentManager, shared by the web views made with this controller.
class WebKitUserContentController final : public UserContentController {
  public:
    WebKitUserContentController();
    ~WebKitUserContentController() override;

    void addUserScript(const UserScript& script) override;
    void addScriptMessageHandler(ScriptMessageHandler& handler, const std::string& name) override;
    void removeScriptMessageHandler(const std::string& name) override;

    WebKitUserContentManager* manager() const { return manager_.get(); }

  private:
    struct Registration {
        std::string name;
        ScriptMessageHandler* handler;
        SignalConnection connection;
    };
    static void onScriptMessage(WebKitUserContentManager* manager, WebKitJavascriptResult* result,
                                gpointer data);

    GObjectRef<WebKitUserContentManager> manager_;
    std::map<std::string, std::unique_ptr<Registration>> registrations_;
};

} // namespace platform::gtk
