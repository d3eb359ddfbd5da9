#pragma once

#include "fake/FakeUserContentController.h"
#include "fake/Log.h"
#include "platform/WebView.h"

#include <vector>

namespace fake {

class FakeWebView final : public platform::WebView {
public:
    FakeWebView(Log& log, const platform::Rect& frame, const platform::WebViewConfiguration& configuration);

    void loadHTMLString(const std::string& html, const std::optional<std::string>& baseURL) override;
    void evaluateJavaScript(const std::string& script) override;
    void setDrawsBackground(bool draws) override;
    void setNavigationDelegate(platform::WebViewNavigationDelegate* delegate) override;
    void terminateWebContentProcess() override;
    std::optional<std::uint64_t> webContentProcessMemory() override;
    std::optional<std::chrono::duration<double>> lastUserInput() const override { return m_lastUserInput; }
    void setUIDelegate(platform::UIDelegate* delegate) override;

    // The page posts under a handler name, as window.webkit.messageHandlers.<name>.postMessage.
    bool post(const std::string& name, const nlohmann::json& body);
    // The page calls getUserMedia: every decision the delegate handed back, in order (none without
    // a delegate).
    std::vector<platform::PermissionDecision> requestMediaCapture(const std::string& origin,
                                                                  platform::MediaCaptureType type);

    // The page's process: each load starts one where none runs; a test ends it (as a crash or a
    // kill signal would), makes it stop or start answering, and finishes the page's load.
    void crashWebContentProcess();
    void setWebContentProcessResponsive(bool responsive);
    void finishLoading();
    // What the running process holds; a new process starts with nothing.
    void setWebContentProcessMemory(std::uint64_t bytes) { m_memory = bytes; }
    // A person used the view at that time of the main queue's clock.
    void receiveUserInput(std::chrono::duration<double> at) { m_lastUserInput = at; }
    // The page navigated a frame and its document arrived: the delegate's answer (none without one).
    std::optional<platform::NavigationResponsePolicy>
    receiveNavigationResponse(const platform::NavigationResponse& response);
    bool hasWebContentProcess() const { return m_processRunning; }

    const platform::WebViewConfiguration& configuration() const { return m_configuration; }
    const std::string& loadedHTML() const { return m_html; }
    const std::optional<std::string>& baseURL() const { return m_baseURL; }
    bool drawsBackground() const { return m_drawsBackground; }
    platform::UIDelegate* uiDelegate() const { return m_uiDelegate; }

private:
    Log& m_log;
    platform::WebViewConfiguration m_configuration;
    std::string m_html;
    std::optional<std::string> m_baseURL;
    bool m_drawsBackground = true;
    platform::WebViewNavigationDelegate* m_navigationDelegate = nullptr;
    bool m_processRunning = false;
    bool m_processResponsive = true;
    std::uint64_t m_memory = 0;
    std::optional<std::chrono::duration<double>> m_lastUserInput;
    platform::UIDelegate* m_uiDelegate = nullptr;
};

} // namespace fake
