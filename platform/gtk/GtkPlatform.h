#pragma once

#include "CurlHttp.h"
#include "ExecutableBundle.h"
#include "GdkScreens.h"
#include "GlibMainQueue.h"
#include "GlibProcessLauncher.h"
#include "GtkApplicationBackend.h"
#include "GtkProcessInfo.h"
#include "GtkWorkspace.h"
#include "XdgLoginItems.h"
#include "files/JsonFileUserDefaults.h"
#include "platform/Platform.h"

namespace platform::gtk {

// The desktop: GTK 3 and WebKitGTK on X11.
class GtkPlatform final : public Platform {
public:
    explicit GtkPlatform(const std::string& applicationIdentifier);

    Application& application() override { return application_; }
    Bundle& mainBundle() override { return bundle_; }
    ProcessInfo& processInfo() override { return processInfo_; }
    MainQueue& mainQueue() override { return mainQueue_; }
    Screens& screens() override { return screens_; }
    UserDefaults& userDefaults() override { return userDefaults_; }
    Workspace& workspace() override { return workspace_; }
    LoginItems& loginItems() override { return loginItems_; }
    ProcessLauncher& processLauncher() override { return processLauncher_; }
    Http& http() override { return http_; }

    std::unique_ptr<Window> makeWindow(const WindowParameters& parameters) override;
    std::unique_ptr<Button> makeButton(const Rect& frame) override;
    std::shared_ptr<UserContentController> makeUserContentController() override;
    std::unique_ptr<WebView> makeWebView(const Rect& frame,
                                         const WebViewConfiguration& configuration) override;
    std::unique_ptr<Alert> makeAlert() override;

private:
    GtkApplicationBackend application_;
    GtkProcessInfo processInfo_;
    GlibMainQueue mainQueue_;
    GdkScreens screens_;
    ExecutableBundle bundle_;
    files::JsonFileUserDefaults userDefaults_;
    GtkWorkspace workspace_;
    XdgLoginItems loginItems_;
    GlibProcessLauncher processLauncher_;
    // Last, so it goes first: its running requests end while the rest still stands for their
    // completions.
    CurlHttp http_;
};

} // namespace platform::gtk
