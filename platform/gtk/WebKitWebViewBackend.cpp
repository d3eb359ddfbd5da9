#include "WebKitWebViewBackend.h"

#include "CallbackGuard.h"
#include "WebKitUserContentController.h"

#include <algorithm>

namespace platform::gtk {

namespace {

constexpr double megabyte = 1024.0 * 1024.0;
// The engine ends the process itself only a quarter past the ceiling, for when the program cannot
// read its memory. The program's reading ends it at the ceiling and also sees a page whose scripts
// never yield, which the engine's own check (every 30 s, its default, parsing the process's whole
// memory map on the page's thread) never gets to.
constexpr double engineKillPastCeiling = 1.25;

// Above the budget, critical releases (garbage collection, caches, unused heap pages back to the
// system); above half of it, the lighter ones.
GObjectRef<WebKitWebContext> makeContext(const std::optional<WebContentMemoryLimits>& limits) {
    if (!limits || limits->ceiling < megabyte)
        return GObjectRef<WebKitWebContext>(webkit_web_context_new());
    WebKitMemoryPressureSettings* settings = webkit_memory_pressure_settings_new();
    const double strict =
        std::clamp(static_cast<double>(limits->budget) / static_cast<double>(limits->ceiling), 0.1, 0.95);
    webkit_memory_pressure_settings_set_memory_limit(
        settings, static_cast<guint>(std::min(static_cast<double>(limits->ceiling) / megabyte, 1.0e9)));
    // Each threshold is checked against the others as set so far: this order keeps every step valid.
    webkit_memory_pressure_settings_set_conservative_threshold(settings, strict / 2);
    webkit_memory_pressure_settings_set_strict_threshold(settings, strict);
    webkit_memory_pressure_settings_set_kill_threshold(settings, engineKillPastCeiling);
    GObjectRef<WebKitWebContext> context(WEBKIT_WEB_CONTEXT(
        g_object_new(WEBKIT_TYPE_WEB_CONTEXT, "memory-pressure-settings", settings, nullptr)));
    webkit_memory_pressure_settings_free(settings);
    return context;
}

// A context of the view's own, confined before its first web process starts: the bubblewrap
// sandbox with read access to the configured folders only.
GObjectRef<WebKitWebContext> makeWebContext(const WebViewConfiguration& configuration) {
    auto context = makeContext(configuration.memoryLimits);
    webkit_web_context_set_sandbox_enabled(context.get(), TRUE);
    // One local page: no page or resource caches to keep for browsing.
    webkit_web_context_set_cache_model(context.get(), WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
    for (const auto& folder : configuration.readableFolders)
        if (folder.is_absolute())
            webkit_web_context_add_path_to_sandbox(context.get(), folder.c_str(), TRUE);
    return context;
}

// The first settings made look for a GL display in this process, to share GPU buffers with the web
// process: 100 to 250 ms of start-up that a view drawn on the CPU never uses. The engine skips it
// when told the GPU-buffer renderer is off; programs opened later (a link's browser) must not
// inherit that, so it is told only while the first settings are made.
GObjectRef<WebKitSettings> makeSettingsWithoutGpuProbe() {
    constexpr const char* rendererOff = "WEBKIT_DISABLE_DMABUF_RENDERER";
    const bool setHere = !g_getenv(rendererOff) && g_setenv(rendererOff, "1", TRUE);
    GObjectRef<WebKitSettings> settings(webkit_settings_new());
    if (setHere)
        g_unsetenv(rendererOff);
    return settings;
}

WebKitWebView* makeWebView(const WebViewConfiguration& configuration) {
    GObjectRef<WebKitSettings> settings(makeSettingsWithoutGpuProbe());
    // Only the page's own scripts are governed here: user scripts and evaluation keep working.
    webkit_settings_set_enable_javascript_markup(settings.get(), configuration.allowsContentJavaScript);
    webkit_settings_set_media_playback_requires_user_gesture(
        settings.get(),
        configuration.mediaTypesRequiringUserActionForPlayback != AudiovisualMediaTypes::None);
    webkit_settings_set_enable_media_stream(settings.get(), TRUE);
#ifdef ORVIA_MOCK_CAPTURE_DEVICES
    // End-to-end builds only: pretend devices let getUserMedia reach the permission decision.
    webkit_settings_set_enable_mock_capture_devices(settings.get(), TRUE);
#endif
    webkit_settings_set_enable_webaudio(settings.get(), TRUE);
    // The page is CSS animation and text: drawn on the CPU it shows sooner (no GL context or
    // shader compilation in the web process), takes a third less memory and less CPU under
    // software GL (see docs/benchmarks.md).
    webkit_settings_set_hardware_acceleration_policy(settings.get(),
                                                     WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    // The window's frame is the program's: a page's element does not take the whole screen.
    webkit_settings_set_enable_fullscreen(settings.get(), FALSE);

    const auto context = makeWebContext(configuration);
    auto* controller = dynamic_cast<WebKitUserContentController*>(configuration.userContentController.get());
    if (!controller)
        return WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "settings", settings.get(), "web-context",
                                            context.get(), nullptr));
    return WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "settings", settings.get(), "web-context",
                                        context.get(), "user-content-manager", controller->manager(),
                                        nullptr));
}

} // namespace

WebKitWebViewBackend::WebKitWebViewBackend(const WebViewConfiguration& configuration)
    : userContentController_(configuration.userContentController), webView_(makeWebView(configuration)),
      browserFeatureGuard_(webView_.get()),
      loadChanged_(webView_.get(), "load-changed", &onLoadChanged, this),
      decidePolicy_(webView_.get(), "decide-policy", &onDecidePolicy, this),
      webProcessTerminated_(webView_.get(), "web-process-terminated", &onWebProcessTerminated, this),
      responsivenessChanged_(webView_.get(), "notify::is-web-process-responsive", &onResponsivenessChanged,
                             this),
      input_(webView_.get(), "event", &onInput, this),
      permissionRequest_(webView_.get(), "permission-request", &onPermissionRequest, this) {}

WebKitWebViewBackend::~WebKitWebViewBackend() {
    loadChanged_.disconnect();
    decidePolicy_.disconnect();
    webProcessTerminated_.disconnect();
    responsivenessChanged_.disconnect();
    input_.disconnect();
    permissionRequest_.disconnect();
    gtk_widget_destroy(widget());
}

void WebKitWebViewBackend::loadHTMLString(const std::string& html,
                                          const std::optional<std::string>& baseURL) {
    webkit_web_view_load_html(webView_.get(), html.c_str(), baseURL ? baseURL->c_str() : nullptr);
}

void WebKitWebViewBackend::evaluateJavaScript(const std::string& script) {
    webkit_web_view_evaluate_javascript(webView_.get(), script.data(), static_cast<gssize>(script.size()),
                                        nullptr, nullptr, nullptr, nullptr, nullptr);
}

void WebKitWebViewBackend::setDrawsBackground(bool draws) {
    GdkRGBA colour{1.0, 1.0, 1.0, 1.0};
    // Drawn on the CPU, the view's transparent pixels replace what lies below them rather than
    // showing it (black in an opaque window). Its window is opaque in the theme's background
    // colour, so painting that colour shows the same as painting nothing.
    if (!draws &&
        !gtk_style_context_lookup_color(gtk_widget_get_style_context(widget()), "theme_bg_color", &colour))
        colour = GdkRGBA{0.0, 0.0, 0.0, 0.0};
    webkit_web_view_set_background_color(webView_.get(), &colour);
}

// Camera and microphone requests go to the delegate; every other request (display capture,
// location, notifications) keeps the engine's own answer, a denial.
gboolean WebKitWebViewBackend::onPermissionRequest(WebKitWebView*, WebKitPermissionRequest* request,
                                                   gpointer data) {
    auto* self = static_cast<WebKitWebViewBackend*>(data);
    if (!self->uiDelegate_ || !WEBKIT_IS_USER_MEDIA_PERMISSION_REQUEST(request))
        return FALSE;
    auto* media = WEBKIT_USER_MEDIA_PERMISSION_REQUEST(request);
    const bool audio = webkit_user_media_permission_is_for_audio_device(media);
    const bool video = webkit_user_media_permission_is_for_video_device(media);
    if (!audio && !video)
        return FALSE;
    const MediaCaptureType type = audio && video ? MediaCaptureType::CameraAndMicrophone
                                  : audio        ? MediaCaptureType::Microphone
                                                 : MediaCaptureType::Camera;
    gchar* origin = nullptr;
    if (const char* uri = webkit_web_view_get_uri(self->webView_.get())) {
        WebKitSecurityOrigin* security = webkit_security_origin_new_for_uri(uri);
        origin = webkit_security_origin_to_string(security);
        webkit_security_origin_unref(security);
    }
    const std::string originText = origin ? origin : "";
    g_free(origin);
    // The request stays alive until the delegate decides; an undecided request is denied when freed.
    auto pending = std::make_shared<GObjectRef<WebKitPermissionRequest>>(
        WEBKIT_PERMISSION_REQUEST(g_object_ref(request)));
    callFromC([&] {
        self->uiDelegate_->requestMediaCapturePermission(
            originText, type, [pending](PermissionDecision decision) {
                if (!*pending)
                    return;
                if (decision == PermissionDecision::Grant)
                    webkit_permission_request_allow(pending->get());
                else if (decision == PermissionDecision::Deny)
                    webkit_permission_request_deny(pending->get());
                pending->reset();
            });
    });
    return TRUE;
}

void WebKitWebViewBackend::terminateWebContentProcess() {
    webkit_web_view_terminate_web_process(webView_.get());
}

void WebKitWebViewBackend::onLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
    auto* self = static_cast<WebKitWebViewBackend*>(data);
    if (event == WEBKIT_LOAD_COMMITTED)
        self->processMemory_.documentCommitted();
    if (event == WEBKIT_LOAD_FINISHED && self->navigationDelegate_)
        callFromC([self] { self->navigationDelegate_->didFinishNavigation(); });
}

// A navigation reaches the delegate once its document arrives: only then does the engine tell the
// main frame from the others. The program's own loads bring no response to decide on.
gboolean WebKitWebViewBackend::onDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                              WebKitPolicyDecisionType type, gpointer data) {
    auto* self = static_cast<WebKitWebViewBackend*>(data);
    if (type != WEBKIT_POLICY_DECISION_TYPE_RESPONSE || !self->navigationDelegate_)
        return FALSE;
    auto* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
    const NavigationResponse navigation{
        .isForMainFrame = webkit_response_policy_decision_is_main_frame_main_resource(response) != FALSE,
        .canShowMIMEType = webkit_response_policy_decision_is_mime_type_supported(response) != FALSE};
    auto policy = NavigationResponsePolicy::Cancel;
    callFromC([&] { policy = self->navigationDelegate_->decidePolicyForNavigationResponse(navigation); });
    if (policy == NavigationResponsePolicy::Allow)
        webkit_policy_decision_use(decision);
    else
        webkit_policy_decision_ignore(decision);
    return TRUE;
}

void WebKitWebViewBackend::onWebProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason,
                                                  gpointer data) {
    auto* self = static_cast<WebKitWebViewBackend*>(data);
    self->processMemory_.forget();
    if (self->navigationDelegate_)
        callFromC([self] { self->navigationDelegate_->webContentProcessDidTerminate(); });
}

void WebKitWebViewBackend::onResponsivenessChanged(GObject*, GParamSpec*, gpointer data) {
    auto* self = static_cast<WebKitWebViewBackend*>(data);
    if (!self->navigationDelegate_)
        return;
    const bool responsive = webkit_web_view_get_is_web_process_responsive(self->webView_.get());
    callFromC([self, responsive] {
        if (responsive)
            self->navigationDelegate_->webContentProcessDidBecomeResponsive();
        else
            self->navigationDelegate_->webContentProcessDidBecomeUnresponsive();
    });
}

// On the main queue's clock (GlibMainQueue::uptime).
gboolean WebKitWebViewBackend::onInput(GtkWidget*, GdkEvent* event, gpointer data) {
    switch (gdk_event_get_event_type(event)) {
    case GDK_MOTION_NOTIFY:
    case GDK_BUTTON_PRESS:
    case GDK_KEY_PRESS:
    case GDK_SCROLL:
    case GDK_TOUCH_BEGIN:
    case GDK_TOUCH_UPDATE:
        static_cast<WebKitWebViewBackend*>(data)->lastUserInput_ =
            std::chrono::microseconds(g_get_monotonic_time());
        break;
    default:
        break;
    }
    return FALSE;
}

} // namespace platform::gtk
