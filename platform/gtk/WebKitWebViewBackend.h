#pragma once

#include "BrowserFeatureGuard.h"
#include "GObjectRef.h"
#include "GtkView.h"
#include "SignalConnection.h"
#include "WebContentProcessMemory.h"
#include "platform/WebView.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <memory>

namespace platform::gtk {

class WebKitWebViewBackend final : public WebView, public GtkView {
public:
    explicit WebKitWebViewBackend(const WebViewConfiguration& configuration);
    ~WebKitWebViewBackend() override;

    void loadHTMLString(const std::string& html, const std::optional<std::string>& baseURL) override;
    void evaluateJavaScript(const std::string& script) override;
    void setDrawsBackground(bool draws) override;
    void setNavigationDelegate(WebViewNavigationDelegate* delegate) override {
        navigationDelegate_ = delegate;
    }
    void terminateWebContentProcess() override;
    std::optional<std::uint64_t> webContentProcessMemory() override { return processMemory_.read(); }
    std::optional<std::chrono::duration<double>> lastUserInput() const override { return lastUserInput_; }
    void setUIDelegate(UIDelegate* delegate) override { uiDelegate_ = delegate; }

    GtkWidget* widget() const override { return GTK_WIDGET(webView_.get()); }

private:
    // Kept as the configuration keeps it: its handlers serve this view's pages.
    std::shared_ptr<UserContentController> userContentController_;
    GObjectRef<WebKitWebView> webView_;

    BrowserFeatureGuard browserFeatureGuard_;

    WebViewNavigationDelegate* navigationDelegate_ = nullptr;
    SignalConnection loadChanged_;
    SignalConnection decidePolicy_;
    SignalConnection webProcessTerminated_;
    SignalConnection responsivenessChanged_;
    static void onLoadChanged(WebKitWebView* webView, WebKitLoadEvent event, gpointer self);
    static gboolean onDecidePolicy(WebKitWebView* webView, WebKitPolicyDecision* decision,
                                   WebKitPolicyDecisionType type, gpointer self);
    static void onWebProcessTerminated(WebKitWebView* webView, WebKitWebProcessTerminationReason reason,
                                       gpointer self);
    static void onResponsivenessChanged(GObject* webView, GParamSpec* property, gpointer self);

    WebContentProcessMemory processMemory_;
    std::optional<std::chrono::duration<double>> lastUserInput_;
    SignalConnection input_;
    static gboolean onInput(GtkWidget* webView, GdkEvent* event, gpointer self);

    UIDelegate* uiDelegate_ = nullptr;
    SignalConnection permissionRequest_;

    static gboolean onPermissionRequest(WebKitWebView* webView, WebKitPermissionRequest* request,
                                        gpointer self);
};

} // namespace platform::gtk
