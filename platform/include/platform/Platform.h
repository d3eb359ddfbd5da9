#pragma once

#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/Bundle.h"
#include "platform/Button.h"
#include "platform/Http.h"
#include "platform/LoginItems.h"
#include "platform/MainQueue.h"
#include "platform/Process.h"
#include "platform/ProcessInfo.h"
#include "platform/Screen.h"
#include "platform/UserDefaults.h"
#include "platform/WebView.h"
#include "platform/Window.h"
#include "platform/Workspace.h"

#include <memory>
#include <string>

namespace platform {

// Everything the program asks of the operating system, one backend per binary.
class Platform {
  public:
    virtual ~Platform() = default;

    virtual Application& application() = 0;
    virtual Bundle& mainBundle() = 0;
    virtual ProcessInfo& processInfo() = 0;
    virtual MainQueue& mainQueue() = 0;
    virtual Screens& screens() = 0;
    virtual UserDefaults& userDefaults() = 0;
    virtual Workspace& workspace() = 0;
    virtual LoginItems& loginItems() = 0;
    virtual ProcessLauncher& processLauncher() = 0;
    virtual Http& http() = 0;

    virtual std::unique_ptr<Window> makeWindow(const WindowParameters& parameters) = 0;
    virtual std::unique_ptr<Button> makeButton(const Rect& frame) = 0;
    virtual std::shared_ptr<UserContentController> makeUserContentController() = 0;
    virtual std::unique_ptr<WebView> makeWebView(const Rect& frame, const WebViewConfiguration& configuration) = 0;
    virtual std::unique_ptr<Alert> makeAlert() = 0;
};

// The backend linked into this binary. applicationIdentifier is the reverse-DNS identifier
// that names the running application to the system.
std::unique_ptr<Platform> makePlatform(const std::string& applicationIdentifier);

} // namespace platform
