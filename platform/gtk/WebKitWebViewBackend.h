#pragma once

#include "GObjectRef.h"
#include "platform/WebView.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <memory>

namespace platform::gtk {

class WebKitWebViewBackend final : public WebView {
  public:
    explicit WebKitWebViewBackend(const WebViewConfiguration& configuration);
    ~WebKitWebViewBackend() override;

    void loadHTMLString(const std::string& html, const std::optional<std::string>& baseURL) override;
    void evaluateJavaScript(const std::string& script) override;
    void setDrawsBackground(bool draws) override;

    GtkWidget* widget() const { return GTK_WIDGET(webView_.get()); }

  private:
    // Kept as the configuration keeps it: its handlers serve this view's pages.
    std::shared_ptr<UserContentController> userContentController_;
    GObjectRef<WebKitWebView> webView_;
};

} // namespace platform::gtk
