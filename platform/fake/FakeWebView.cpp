#include "fake/FakeWebView.h"

namespace fake {

FakeWebView::FakeWebView(Log& log, const platform::Rect& frame,
                         const platform::WebViewConfiguration& configuration)
    : m_log(log), m_configuration(configuration) {
    m_log.add("web.create frame=" + platform::describe(frame) +
              " javaScript=" + yesNo(configuration.allowsContentJavaScript) + " mediaRequiringUserAction=" +
              std::to_string(configuration.mediaTypesRequiringUserActionForPlayback));
}

void FakeWebView::loadHTMLString(const std::string& html, const std::optional<std::string>& baseURL) {
    m_html = html;
    m_baseURL = baseURL;
    if (!m_processRunning) {
        m_processRunning = true;
        m_processResponsive = true;
        m_memory = 0;
    }
    m_log.add("web.loadHTMLString base=" + baseURL.value_or("none") + " " + html);
}

void FakeWebView::evaluateJavaScript(const std::string& script) {
    m_log.add("web.eval " + script);
}

void FakeWebView::setDrawsBackground(bool draws) {
    m_drawsBackground = draws;
    m_log.add("web.setDrawsBackground " + yesNo(draws));
}

void FakeWebView::setNavigationDelegate(platform::WebViewNavigationDelegate* delegate) {
    m_navigationDelegate = delegate;
    m_log.add(std::string("web.setNavigationDelegate ") + (delegate ? "set" : "none"));
}

void FakeWebView::terminateWebContentProcess() {
    m_log.add("web.terminateWebContentProcess");
    crashWebContentProcess();
}

std::optional<std::uint64_t> FakeWebView::webContentProcessMemory() {
    if (!m_processRunning)
        return std::nullopt;
    return m_memory;
}

void FakeWebView::crashWebContentProcess() {
    if (!m_processRunning)
        return;
    m_processRunning = false;
    if (m_navigationDelegate)
        m_navigationDelegate->webContentProcessDidTerminate();
}

void FakeWebView::setWebContentProcessResponsive(bool responsive) {
    if (!m_processRunning || responsive == m_processResponsive)
        return;
    m_processResponsive = responsive;
    if (!m_navigationDelegate)
        return;
    if (responsive)
        m_navigationDelegate->webContentProcessDidBecomeResponsive();
    else
        m_navigationDelegate->webContentProcessDidBecomeUnresponsive();
}

void FakeWebView::finishLoading() {
    if (m_processRunning && m_navigationDelegate)
        m_navigationDelegate->didFinishNavigation();
}

std::optional<platform::NavigationResponsePolicy>
FakeWebView::receiveNavigationResponse(const platform::NavigationResponse& response) {
    if (!m_navigationDelegate)
        return std::nullopt;
    return m_navigationDelegate->decidePolicyForNavigationResponse(response);
}

bool FakeWebView::post(const std::string& name, const nlohmann::json& body) {
    auto* content = dynamic_cast<FakeUserContentController*>(m_configuration.userContentController.get());
    return content && content->post(name, body);
}

void FakeWebView::setUIDelegate(platform::UIDelegate* delegate) {
    m_uiDelegate = delegate;
    m_log.add(delegate ? "web.setUIDelegate" : "web.setUIDelegate none");
}

std::vector<platform::PermissionDecision> FakeWebView::requestMediaCapture(const std::string& origin,
                                                                           platform::MediaCaptureType type) {
    std::vector<platform::PermissionDecision> decisions;
    if (m_uiDelegate)
        m_uiDelegate->requestMediaCapturePermission(
            origin, type,
            [&decisions](platform::PermissionDecision decision) { decisions.push_back(decision); });
    return decisions;
}

} // namespace fake
