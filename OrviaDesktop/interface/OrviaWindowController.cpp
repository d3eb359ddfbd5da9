#include "interface/OrviaWindowController.h"

#include "interface/BootstrapScript.h"
#include "interface/MediaCapturePermission.h"
#include "interface/MemoryLimits.h"
#include "interface/NavigationPolicy.h"
#include "interface/PageRequest.h"
#include "resource_bundle_accessor/ResourceBundleAccessor.h"

namespace orvia {

namespace {
constexpr platform::Rect initialContentRect{0, 0, 1180, 780};
constexpr platform::Size minimumSize{900, 620};
constexpr unsigned interfaceStyleMask =
    platform::WindowStyleMask::Titled | platform::WindowStyleMask::Miniaturizable |
    platform::WindowStyleMask::Resizable | platform::WindowStyleMask::FullSizeContentView;
constexpr unsigned onEveryWorkspace = platform::WindowCollectionBehavior::CanJoinAllSpaces |
                                      platform::WindowCollectionBehavior::FullScreenAuxiliary;
} // namespace

NullMessageHandler& OrviaWindowController::selfPlaceholder() {
    static NullMessageHandler placeholder;
    return placeholder;
}

OrviaWindowController::OrviaWindowController(platform::Platform& os)
    : os(os), memoryGuard(memoryLimits(os.userDefaults())) {
    platform::WebViewConfiguration configuration;
    configuration.allowsContentJavaScript = true;
    configuration.mediaTypesRequiringUserActionForPlayback = platform::AudiovisualMediaTypes::None;
    userContentController = os.makeUserContentController();
    configuration.userContentController = userContentController;
    // The page's own files; the rest of the user's files stay out of the page's reach.
    configuration.readableFolders = {module(os.mainBundle()).bundlePath()};
    configuration.memoryLimits = memoryGuard.limits();

    userContentController->addUserScript({bootstrapScript(memberID(os.userDefaults())),
                                          platform::UserScriptInjectionTime::AtDocumentStart, true});
    userContentController->addScriptMessageHandler(selfPlaceholder(), messageHandlerName);

    webView = os.makeWebView({0, 0, 0, 0}, configuration);
    webView->setDrawsBackground(false);
    webView->setNavigationDelegate(this);

    window = os.makeWindow({initialContentRect, interfaceStyleMask, "interface"});
    window->setTitle(windowTitle);
    window->setTitleVisibility(platform::TitleVisibility::Hidden);
    window->setTitlebarAppearsTransparent(true);
    window->setMovableByWindowBackground(true);
    window->setMinSize(minimumSize);
    window->setLevel(platform::WindowLevel::Floating);
    window->setCollectionBehavior(onEveryWorkspace);
    window->setHidesOnDeactivate(false);
    if (auto screen = os.screens().mainScreen())
        window->setFrame(screen->visibleFrame, true);
    else
        window->center();
    window->setContentView(*webView);

    window->setDelegate(this);
    webView->setUIDelegate(this);
    userContentController->removeScriptMessageHandler(messageHandlerName);
    userContentController->addScriptMessageHandler(*this, messageHandlerName);

    loadInterface();
    watchWebContentMemory();
}

OrviaWindowController::~OrviaWindowController() {
    webView->setNavigationDelegate(nullptr);
    userContentController->removeScriptMessageHandler(messageHandlerName);
    webView->setUIDelegate(nullptr);
    window->setDelegate(nullptr);
}

void OrviaWindowController::didReceiveScriptMessage(const platform::ScriptMessage& message) {
    auto request = pageRequestFromMessage(message.body);
    if (!request)
        return;
    std::visit(
        [this](const auto& action) {
            using Action = std::decay_t<decltype(action)>;
            if constexpr (std::is_same_v<Action, CollapseRequest>)
                minimizeToBubble();
            else if constexpr (std::is_same_v<Action, WakeRequest>)
                showMainWindow(Maximize::Yes);
            else
                os.workspace().openURL(action.url);
        },
        *request);
}

void OrviaWindowController::requestMediaCapturePermission(
    const std::string&, platform::MediaCaptureType type,
    std::function<void(platform::PermissionDecision)> decisionHandler) {
    decisionHandler(mediaCapturePermissionDecision(type));
}

platform::NavigationResponsePolicy
OrviaWindowController::decidePolicyForNavigationResponse(const platform::NavigationResponse& response) {
    return navigationResponsePolicy(response);
}

} // namespace orvia
