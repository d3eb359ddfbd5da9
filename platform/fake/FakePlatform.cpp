#include "fake/FakePlatform.h"

#include <cstdlib>
#include <stdexcept>

namespace fake {

std::optional<nlohmann::json> FakeUserDefaults::objectForKey(const std::string& key) const {
    auto found = m_values.find(key);
    if (found == m_values.end())
        return std::nullopt;
    return found->second;
}

void FakeUserDefaults::setObject(const std::string& key, const nlohmann::json& value) {
    m_log.add("defaults.set " + key + "=" + value.dump());
    m_values[key] = value;
}

FakeBundle::FakeBundle() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvia-fake-bundle-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder for the fake bundle");
    m_installation = pattern;
    path = m_installation;
    std::filesystem::create_directories(resources());
}

FakeBundle::~FakeBundle() {
    std::error_code ignored;
    std::filesystem::remove_all(m_installation, ignored);
}

std::optional<nlohmann::json> FakeBundle::objectForInfoDictionaryKey(const std::string& key) const {
    if (!info.is_object() || !info.contains(key))
        return std::nullopt;
    return info.at(key);
}

std::optional<std::filesystem::path> FakeLoginItems::folder() const {
    m_log.add("loginItems.folder");
    return path;
}

bool FakeWorkspace::openURL(const std::string& url) {
    m_log.add("workspace.openURL " + url);
    m_opened.push_back(url);
    return true;
}

FakePlatform::FakePlatform() {
    screenList.setMainScreen(platform::Screen{defaultScreenFrame, defaultVisibleFrame});
}

std::unique_ptr<platform::Window> FakePlatform::makeWindow(const platform::WindowParameters& parameters) {
    auto window = std::make_unique<FakeWindow>(log, parameters);
    m_windows[parameters.role] = window.get();
    return window;
}

std::unique_ptr<platform::Button> FakePlatform::makeButton(const platform::Rect& frame) {
    auto button = std::make_unique<FakeButton>(log, frame);
    m_buttons.push_back(button.get());
    return button;
}

std::shared_ptr<platform::UserContentController> FakePlatform::makeUserContentController() {
    log.add("content.create");
    return std::make_shared<FakeUserContentController>(log);
}

std::unique_ptr<platform::WebView>
FakePlatform::makeWebView(const platform::Rect& frame, const platform::WebViewConfiguration& configuration) {
    auto view = std::make_unique<FakeWebView>(log, frame, configuration);
    m_webViews.push_back(view.get());
    return view;
}

std::unique_ptr<platform::Alert> FakePlatform::makeAlert() {
    return std::make_unique<FakeAlert>(log, queue, alertResponses);
}

FakeWindow* FakePlatform::window(const std::string& role) const {
    auto found = m_windows.find(role);
    return found == m_windows.end() ? nullptr : found->second;
}

} // namespace fake
