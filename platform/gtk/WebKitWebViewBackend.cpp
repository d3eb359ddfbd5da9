#include "WebKitWebViewBackend.h"

#include "WebKitUserContentController.h"

namespace platform::gtk {

namespace {

WebKitWebView* makeWebView(const WebViewConfiguration& configuration) {
    GObjectRef<WebKitSettings> settings(webkit_settings_new());
    // Only the page's own scripts are governed here: user scripts and evaluation keep working.
    webkit_settings_set_enable_javascript_markup(settings.get(), configuration.allowsContentJavaScript);
    webkit_settings_set_media_playback_requires_user_gesture(
        settings.get(),
        configuration.mediaTypesRequiringUserActionForPlayback != AudiovisualMediaTypes::None);
    webkit_settings_set_enable_media_stream(settings.get(), TRUE);
    webkit_settings_set_enable_webaudio(settings.get(), TRUE);

    auto* controller = dynamic_cast<WebKitUserContentController*>(configuration.userContentController.get());
    if (!controller)
        return WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "settings", settings.get(), nullptr));
    return WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "settings", settings.get(),
                                        "user-content-manager", controller->manager(), nullptr));
}

} // namespace

WebKitWebViewBackend::WebKitWebViewBackend(const WebViewConfiguration& configuration)
    : userContentController_(configuration.userContentController), webView_(makeWebView(configuration)) {}

WebKitWebViewBackend::~WebKitWebViewBackend() {
    gtk_widget_destroy(widget());
}

void WebKitWebViewBackend::loadHTMLString(const std::string& html,
                                          const std::optional<std::string>& baseURL) {
    webkit_web_view_load_html(webView_.get(), html.c_str(), baseURL ? baseURL->c_str() : nullptr);
}

void WebKitWebViewBackend::evaluateJavaScript(const std::string& script) {
    webkit_web_view_evaluate_javascript(webView_.get(), script.data(), static_cast<gssize>(script.size()),
                                        nullptr, nullptr, nullptr, nullptr, nullptr);
}

void WebKitWebViewBackend::setDrawsBackground(bool draws) {
    const GdkRGBA colour = draws ? GdkRGBA{1.0, 1.0, 1.0, 1.0} : GdkRGBA{0.0, 0.0, 0.0, 0.0};
    webkit_web_view_set_background_color(webView_.get(), &colour);
}

} // namespace platform::gtk
