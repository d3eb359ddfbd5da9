#pragma once

#include "platform/Geometry.h"
#include "platform/View.h"
#include "platform/WebViewNavigationDelegate.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class UserScriptInjectionTime { AtDocumentStart = 0, AtDocumentEnd = 1 };

struct UserScript {
    std::string source;
    UserScriptInjectionTime injectionTime = UserScriptInjectionTime::AtDocumentStart;
    bool forMainFrameOnly = true;
};

// A page's message, its body converted from the page's JavaScript value to a neutral value
// (object with string keys, array, string, number, boolean or null). Values the page cannot
// express in JSON (undefined, functions) arrive as null.
struct ScriptMessage {
    std::string name;
    nlohmann::json body;
};

class ScriptMessageHandler {
public:
    virtual ~ScriptMessageHandler() = default;
    // Main thread.
    virtual void didReceiveScriptMessage(const ScriptMessage& message) = 0;
};

// The scripts and message handlers shared by the web views made with it. Main thread only.
class UserContentController {
public:
    virtual ~UserContentController() = default;
    virtual void addUserScript(const UserScript& script) = 0;
    // The page posts with window.webkit.messageHandlers.<name>.postMessage(body). The handler is
    // not owned and must stay alive while registered. A name already taken is left as it is.
    virtual void addScriptMessageHandler(ScriptMessageHandler& handler, const std::string& name) = 0;
    virtual void removeScriptMessageHandler(const std::string& name) = 0;
};

namespace AudiovisualMediaTypes {
inline constexpr unsigned None = 0;
inline constexpr unsigned Audio = 1;
inline constexpr unsigned Video = 2;
inline constexpr unsigned All = Audio | Video;
} // namespace AudiovisualMediaTypes

// Bounds on the memory of the web content process, in bytes of its own memory (anonymous pages,
// resident or swapped out); the budget lies below the ceiling. Above the budget the engine releases
// what it can (caches, collected garbage) about every 30 s, where its process lets it; past the
// ceiling by a quarter it ends the process itself (the delegate hears webContentProcessDidTerminate)
// as a last resort for when the program cannot read the process's memory.
struct WebContentMemoryLimits {
    std::uint64_t budget = 0;
    std::uint64_t ceiling = 0;
};

struct WebViewConfiguration {
    bool allowsContentJavaScript = true;
    unsigned mediaTypesRequiringUserActionForPlayback = AudiovisualMediaTypes::All;
    std::shared_ptr<UserContentController> userContentController;
    // Absolute folders the page's web content process may read, beside what the engine needs
    // itself. Where the backend confines that process, no other folder of the user's is readable.
    std::vector<std::filesystem::path> readableFolders;
    // Fixed with the view: the engine takes them when its processes start.
    std::optional<WebContentMemoryLimits> memoryLimits;
};

// The kind of capture device a page asks for (getUserMedia). Other values may come from newer engines.
enum class MediaCaptureType : int { Camera = 0, Microphone = 1, CameraAndMicrophone = 2 };

enum class PermissionDecision : int { Prompt = 0, Grant = 1, Deny = 2 };

// The web view's questions to the program. Main thread.
class UIDelegate {
public:
    virtual ~UIDelegate() = default;
    // The handler must be called exactly once; origin is the requesting page's origin.
    virtual void requestMediaCapturePermission(const std::string& origin, MediaCaptureType type,
                                               std::function<void(PermissionDecision)> decisionHandler) = 0;
};

// Shows one page and offers nothing of a browser: it opens no window, shows no context menu, print
// or file dialog, takes no drop from another program, starts no download, takes no full screen and
// has no inspector. Main thread only.
class WebView : public View {
public:
    // baseURL is an absolute URL (a file: URL for local pages); without one the page can reach
    // no local file.
    virtual void loadHTMLString(const std::string& html, const std::optional<std::string>& baseURL) = 0;
    // Result and script errors are dropped.
    virtual void evaluateJavaScript(const std::string& script) = 0;
    // Without a background of its own the web view shows the page's (or the window's) colour.
    virtual void setDrawsBackground(bool draws) = 0;
    // Not owned; null removes it. Without a delegate, media capture is denied.
    virtual void setUIDelegate(UIDelegate* delegate) = 0;

    // The page's life: the delegate is not owned; nullptr stops the reports, and frames then show
    // whatever the engine can display.
    virtual void setNavigationDelegate(WebViewNavigationDelegate* delegate) = 0;
    // Ends the web content process at once (a page that does not answer cannot be asked to stop);
    // the delegate hears webContentProcessDidTerminate. Nothing happens without a running process.
    virtual void terminateWebContentProcess() = 0;
    // The web content process's own memory now, measured as for the limits; absent without a
    // process or where it cannot be read. Cheap enough to ask every second or two.
    virtual std::optional<std::uint64_t> webContentProcessMemory() = 0;
    // When a person last moved the pointer over the view, clicked, scrolled, touched or typed in it,
    // on the main queue's clock (MainQueue::uptime); absent before the first time.
    virtual std::optional<std::chrono::duration<double>> lastUserInput() const = 0;
};

} // namespace platform
