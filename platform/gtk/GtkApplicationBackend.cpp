#include "GtkApplicationBackend.h"

#include "CallbackGuard.h"

namespace platform::gtk {

namespace {

constexpr const char* programName = "OrviaDesktop";

bool hasSessionBus() {
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (!bus) {
        g_clear_error(&error);
        return false;
    }
    g_object_unref(bus);
    return true;
}

GObjectRef<GtkApplication> makeApplication(const std::string& applicationIdentifier) {
    // Before GTK opens the display: windows are named "OrviaDesktop", "OrviaDesktop" (WM_CLASS),
    // and positions, stacking and input shapes are X11 notions, so run on X (XWayland under Wayland).
    g_set_prgname(programName);
    gdk_set_program_class(programName);
    gdk_set_allowed_backends("x11");

    const char* identifier =
        g_application_id_is_valid(applicationIdentifier.c_str()) ? applicationIdentifier.c_str() : nullptr;
    // Uniqueness needs the session bus; without one the application still has to run.
    const GApplicationFlags flags =
        identifier && hasSessionBus() ? G_APPLICATION_DEFAULT_FLAGS : G_APPLICATION_NON_UNIQUE;
    return GObjectRef<GtkApplication>(gtk_application_new(identifier, flags));
}

} // namespace

GtkApplicationBackend::GtkApplicationBackend(const std::string& applicationIdentifier)
    : application_(makeApplication(applicationIdentifier)),
      mainMenu_(application_.get(), [this](const std::string& action, ActionTarget* target) {
          sendAction(action, target, nullptr);
      }) {
    // The session manager's end-of-session query then reaches query-end.
    g_object_set(application_.get(), "register-session", TRUE, nullptr);

    startup_ = SignalConnection(application_.get(), "startup", &onStartup, this);
    activate_ = SignalConnection(application_.get(), "activate", &onActivate, this);
    queryEnd_ = SignalConnection(application_.get(), "query-end", &onQueryEnd, this);
}

GtkApplicationBackend::~GtkApplicationBackend() {
    startup_.disconnect();
    activate_.disconnect();
    queryEnd_.disconnect();
}

void GtkApplicationBackend::setDelegate(std::weak_ptr<ApplicationDelegate> delegate) {
    delegate_ = std::move(delegate);
}

int GtkApplicationBackend::run() {
    return g_application_run(G_APPLICATION(application_.get()), 0, nullptr);
}

// Windows show in the taskbar unless told otherwise, which is what a regular application wants.
void GtkApplicationBackend::setActivationPolicy(ActivationPolicy) {}

void GtkApplicationBackend::terminate() {
    // Without a delegate the platform's own answer applies: terminate.
    const auto delegate = delegate_.lock();
    if (delegate && delegate->applicationShouldTerminate() != TerminateReply::Now)
        return;
    if (delegate)
        delegate->applicationWillTerminate();
    g_application_quit(G_APPLICATION(application_.get()));
}

// X11 has no application-wide hide, so nothing is ever hidden that unhide could bring back.
void GtkApplicationBackend::unhide() {}

// On X11 an application is active when one of its windows has the focus: the most recently focused
// window on screen that takes the focus at all. Panels that never take it, and windows ordered out,
// are passed over: presenting them would put them back on screen.
void GtkApplicationBackend::activateIgnoringOtherApps(bool) {
    for (GList* item = gtk_application_get_windows(application_.get()); item; item = item->next) {
        GtkWindow* window = GTK_WINDOW(item->data);
        if (gtk_widget_get_visible(GTK_WIDGET(window)) && gtk_window_get_accept_focus(window)) {
            gtk_window_present(window);
            return;
        }
    }
}

bool GtkApplicationBackend::sendAction(const std::string& action, ActionTarget* target, View* sender) {
    return deliverAction(action, target, delegate_.lock().get(), sender);
}

void GtkApplicationBackend::setMainMenu(Menu menu) {
    mainMenu_.set(menu);
}

void GtkApplicationBackend::beep() {
    if (GdkDisplay* display = gdk_display_get_default())
        gdk_display_beep(display);
}

bool GtkApplicationBackend::hasVisibleWindows() const {
    for (GList* item = gtk_application_get_windows(application_.get()); item; item = item->next) {
        GtkWidget* widget = GTK_WIDGET(item->data);
        GdkWindow* window = gtk_widget_get_window(widget);
        const bool iconified = window && (gdk_window_get_state(window) & GDK_WINDOW_STATE_ICONIFIED);
        if (gtk_widget_get_visible(widget) && !iconified)
            return true;
    }
    return false;
}

// Only the primary instance starts up. It holds itself so that closing or hiding the last window
// never ends it; a second launch, which only activates the primary, must return at once.
void GtkApplicationBackend::onStartup(GApplication* application, gpointer) {
    g_application_hold(application);
}

void GtkApplicationBackend::onActivate(GApplication*, gpointer data) {
    auto* self = static_cast<GtkApplicationBackend*>(data);
    callFromC([self] {
        const bool firstActivation = !self->finishedLaunching_;
        self->finishedLaunching_ = true;
        const auto delegate = self->delegate_.lock();
        if (!delegate)
            return;
        if (firstActivation)
            delegate->applicationDidFinishLaunching();
        else
            delegate->applicationShouldHandleReopen(self->hasVisibleWindows());
    });
}

// The session is ending: a quit request like any other.
void GtkApplicationBackend::onQueryEnd(GtkApplication*, gpointer data) {
    auto* self = static_cast<GtkApplicationBackend*>(data);
    callFromC([self] { self->terminate(); });
}

} // namespace platform::gtk
