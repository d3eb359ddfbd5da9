#include "GtkPlatform.h"

#include "GtkAlert.h"
#include "GtkButtonBackend.h"
#include "GtkWindowBackend.h"
#include "WebKitUserContentController.h"
#include "WebKitWebViewBackend.h"

namespace platform {

namespace gtk {

GtkPlatform::GtkPlatform(const std::string& applicationIdentifier)
    : application_(applicationIdentifier), processInfo_(application_.gtkApplication()),
      userDefaults_(files::JsonFileUserDefaults::fileLocation(applicationIdentifier, g_getenv("XDG_CONFIG_HOME"),
                                                              g_get_home_dir())) {}

std::unique_ptr<Window> GtkPlatform::makeWindow(const WindowParameters& parameters) {
    return std::make_unique<GtkWindowBackend>(parameters, application_.gtkApplication(),
                                              &application_.mainMenu());
}

std::unique_ptr<Button> GtkPlatform::makeButton(const Rect& frame) {
    return std::make_unique<GtkButtonBackend>(frame);
}

std::shared_ptr<UserContentController> GtkPlatform::makeUserContentController() {
    return std::make_shared<WebKitUserContentController>();
}

// The frame is not used: a web view fills the window it is the content of.
std::unique_ptr<WebView> GtkPlatform::makeWebView(const Rect&, const WebViewConfiguration& configuration) {
    return std::make_unique<WebKitWebViewBackend>(configuration);
}

std::unique_ptr<Alert> GtkPlatform::makeAlert() {
    return std::make_unique<GtkAlert>();
}

} // namespace gtk

std::unique_ptr<Platform> makePlatform(const std::string& applicationIdentifier) {
    return std::make_unique<gtk::GtkPlatform>(applicationIdentifier);
}

} // namespace platform
