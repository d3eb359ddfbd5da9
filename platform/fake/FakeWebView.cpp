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
    m_log.add("web.loadHTMLString base=" + baseURL.value_or("none") + " " + html);
}

void FakeWebView::evaluateJavaScript(const std::string& script) {
    m_log.add("web.eval " + script);
}

void FakeWebView::setDrawsBackground(bool draws) {
    m_drawsBackground = draws;
    m_log.add("web.setDrawsBackground " + yesNo(draws));
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
