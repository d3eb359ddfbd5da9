#pragma once

#include "fake/FakeAlert.h"
#include "fake/FakeApplication.h"
#include "fake/FakeButton.h"
#include "fake/FakeHttp.h"
#include "fake/FakeMainQueue.h"
#include "fake/FakeProcessInfo.h"
#include "fake/FakeProcessLauncher.h"
#include "fake/FakeUserContentController.h"
#include "fake/FakeWebView.h"
#include "fake/FakeWindow.h"
#include "fake/Log.h"
#include "platform/Platform.h"

#include <deque>
#include <map>

namespace fake {

class FakeScreens final : public platform::Screens {
public:
    std::optional<platform::Screen> mainScreen() const override { return m_main; }
    void setMainScreen(std::optional<platform::Screen> screen) { m_main = std::move(screen); }

private:
    std::optional<platform::Screen> m_main;
};

class FakeUserDefaults final : public platform::UserDefaults {
public:
    explicit FakeUserDefaults(Log& log) : m_log(log) {}
    std::optional<nlohmann::json> objectForKey(const std::string& key) const override;
    void setObject(const std::string& key, const nlohmann::json& value) override;

private:
    Log& m_log;
    std::map<std::string, nlohmann::json> m_values;
};

// An installed program in a fresh temporary folder, removed with the bundle: the folder that
// holds the executable, with the resource bundle the build puts beside it and an empty
// "Resources" in it. Tests put the resource files they need there, or point path elsewhere.
class FakeBundle final : public platform::Bundle {
public:
    FakeBundle();
    ~FakeBundle() override;
    FakeBundle(const FakeBundle&) = delete;
    FakeBundle& operator=(const FakeBundle&) = delete;

    std::filesystem::path bundlePath() const override { return path; }
    std::filesystem::path executablePath() const override { return path / "OrviaDesktop"; }
    std::optional<nlohmann::json> objectForInfoDictionaryKey(const std::string& key) const override;

    // The "Resources" folder of the resource bundle inside the installation.
    std::filesystem::path resources() const { return m_installation / resourceBundleName / "Resources"; }

    static constexpr const char* resourceBundleName = "OrviaDesktop_OrviaDesktop.bundle";

    std::filesystem::path path;
    nlohmann::json info = {{"CFBundleShortVersionString", "1.3.2"}};

private:
    std::filesystem::path m_installation;
};

// No login items folder until a test gives one.
class FakeLoginItems final : public platform::LoginItems {
public:
    explicit FakeLoginItems(Log& log) : m_log(log) {}
    std::optional<std::filesystem::path> folder() const override;
    platform::LoginItemFormat format() const override { return kind; }

    std::optional<std::filesystem::path> path;
    platform::LoginItemFormat kind = platform::LoginItemFormat::DesktopEntry;

private:
    Log& m_log;
};

class FakeWorkspace final : public platform::Workspace {
public:
    explicit FakeWorkspace(Log& log) : m_log(log) {}
    bool openURL(const std::string& url) override;
    const std::vector<std::string>& openedURLs() const { return m_opened; }

private:
    Log& m_log;
    std::vector<std::string> m_opened;
};

// A whole system in memory. Starts with one 1440 x 900 screen whose work area leaves a
// 25-point bar at the top and a 70-point dock at the bottom.
class FakePlatform final : public platform::Platform {
public:
    FakePlatform();

    platform::Application& application() override { return app; }
    platform::Bundle& mainBundle() override { return bundle; }
    platform::ProcessInfo& processInfo() override { return process; }
    platform::MainQueue& mainQueue() override { return queue; }
    platform::Screens& screens() override { return screenList; }
    platform::UserDefaults& userDefaults() override { return defaults; }
    platform::Workspace& workspace() override { return work; }
    platform::LoginItems& loginItems() override { return logins; }
    platform::ProcessLauncher& processLauncher() override { return launcher; }
    platform::Http& http() override { return network; }
    std::unique_ptr<platform::Window> makeWindow(const platform::WindowParameters& parameters) override;
    std::unique_ptr<platform::Button> makeButton(const platform::Rect& frame) override;
    std::shared_ptr<platform::UserContentController> makeUserContentController() override;
    std::unique_ptr<platform::WebView> makeWebView(const platform::Rect& frame,
                                                   const platform::WebViewConfiguration& configuration) override;
    std::unique_ptr<platform::Alert> makeAlert() override;

    // The windows, web views and buttons made so far, by role and in order; owned by the program.
    FakeWindow* window(const std::string& role) const;
    FakeWebView* webView() const { return m_webViews.empty() ? nullptr : m_webViews.back(); }
    FakeButton* button() const { return m_buttons.empty() ? nullptr : m_buttons.back(); }

    static constexpr platform::Rect defaultScreenFrame{0, 0, 1440, 900};
    static constexpr platform::Rect defaultVisibleFrame{0, 70, 1440, 805};

    Log log;
    FakeApplication app{log};
    FakeProcessInfo process{log};
    FakeBundle bundle;
    FakeMainQueue queue;
    FakeScreens screenList;
    FakeUserDefaults defaults{log};
    FakeWorkspace work{log};
    FakeLoginItems logins{log};
    FakeProcessLauncher launcher{log};
    FakeHttp network{log};
    // The user's answers to the coming alerts, in order.
    std::deque<int> alertResponses;

private:
    std::map<std::string, FakeWindow*> m_windows;
    std::vector<FakeWebView*> m_webViews;
    std::vector<FakeButton*> m_buttons;
};

} // namespace fake
