#pragma once

#include "bubble/DraggableOrviaBubbleButton.h"
#include "interface/MemoryGuardPolicy.h"
#include "interface/NullMessageHandler.h"
#include "interface/PageRecoveryPolicy.h"
#include "platform/Platform.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace orvia {

// Owns the interface window and its web view, and switches between the expanded interface and
// the bubble. Main thread only.
class OrviaWindowController final : public platform::WindowDelegate,
                                    public platform::ScriptMessageHandler,
                                    public platform::UIDelegate,
                                    public platform::ActionTarget,
                                    public platform::WebViewNavigationDelegate {
public:
    enum class Maximize : bool { No, Yes };

    static constexpr const char* windowTitle = "Orvia AI Life";
    static constexpr const char* messageHandlerName = "orvia";
    static constexpr const char* memberIDKey = "OrviaDesktopGuestMemberID";
    static constexpr const char* pauseScript = "window.orviaPause && window.orviaPause()";
    static constexpr const char* resumeScript = "window.orviaResume && window.orviaResume()";
    static constexpr const char* restoreFromBubbleAction = "restoreFromBubble";

    // Builds the window and its web view and starts loading the interface; shows nothing yet.
    explicit OrviaWindowController(platform::Platform& os);
    ~OrviaWindowController() override;
    OrviaWindowController(const OrviaWindowController&) = delete;
    OrviaWindowController& operator=(const OrviaWindowController&) = delete;

    void minimizeToBubble();
    void showMainWindow(Maximize maximize);
    // The bubble's action.
    void restoreFromBubble();

    bool windowShouldClose() override;
    void windowDidMiniaturize() override;
    void didReceiveScriptMessage(const platform::ScriptMessage& message) override;
    void
    requestMediaCapturePermission(const std::string& origin, platform::MediaCaptureType type,
                                  std::function<void(platform::PermissionDecision)> decisionHandler) override;
    bool tryToPerform(const std::string& action, platform::View* sender) override;

    // A page whose process died or hangs is loaded again as at launch; the window keeps its mode.
    void didFinishNavigation() override;
    // The page cannot replace the interface; see navigationResponsePolicy.
    platform::NavigationResponsePolicy
    decidePolicyForNavigationResponse(const platform::NavigationResponse& response) override;
    void webContentProcessDidTerminate() override;
    void webContentProcessDidBecomeUnresponsive() override;
    void webContentProcessDidBecomeResponsive() override;

    // The resource file "name.extension", from the resource bundle on (see findResource).
    std::optional<std::filesystem::path> resourceURL(const std::string& name,
                                                     const std::string& extension) const;
    // Fills the web view with the web interface, or the fallback page when it cannot be had.
    void loadInterface();

    // The kiosk's guest identity, made once and kept in the user defaults.
    static std::string memberID(platform::UserDefaults& defaults);
    // Stands in for the controller under "orvia" while it is being made.
    static NullMessageHandler& selfPlaceholder();

private:
    void showBubble();

    platform::Platform& os;
    std::shared_ptr<platform::UserContentController> userContentController;
    std::unique_ptr<platform::WebView> webView;
    std::unique_ptr<platform::Window> window;
    // Declared before the panel, whose content it is, so that it outlives the panel.
    std::unique_ptr<DraggableOrviaBubbleButton> bubbleButton;
    std::unique_ptr<platform::Window> bubblePanel;
    std::optional<platform::Rect> expandedFrame;

    bool isCollapsed() const;

    // Reads the page's memory every reading interval while the controller lives.
    void watchWebContentMemory();
    MemoryGuardPolicy memoryGuard;
    std::optional<std::chrono::duration<double>> lastShown;

    PageRecoveryPolicy recoveryPolicy;
    bool recoveryLoadPending = false;
    // Bumped by every change of the process's state, so that a pending hang check can tell
    // whether it still speaks of the same silence.
    unsigned responsivenessGeneration = 0;
    // Tasks left on the main queue run only while the controller lives.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
};

} // namespace orvia
