#include "GtkWindowBackend.h"

#include "CallbackGuard.h"
#include "GdkScreens.h"
#include "RoundedRegion.h"
#include "ScreenCoordinates.h"

#include <gdk/gdkx.h>

#include <algorithm>
#include <cmath>

namespace platform::gtk {

namespace {

constexpr const char* slimClass = "orvia-slim";
constexpr const char* transparentClass = "orvia-transparent";

// Installed once for the screen; the selectors only match the header bars made here.
void installHeaderBarStyle(GdkScreen* screen) {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    static constexpr const char* css =
        "headerbar.orvia-slim { min-height: 0; padding: 0 4px; }"
        "headerbar.orvia-slim button.titlebutton { min-height: 0; padding: 2px; }"
        "headerbar.orvia-transparent { background: none; border: none; box-shadow: none; }"
        "headerbar.orvia-transparent button { color: rgba(255, 255, 255, 0.85);"
        " background: rgba(0, 0, 0, 0.28); border: none; box-shadow: none; border-radius: 50%; margin: 4px "
        "2px; }"
        "headerbar.orvia-transparent button:hover { background: rgba(0, 0, 0, 0.45); }";
    GObjectRef<GtkCssProvider> provider(gtk_css_provider_new());
    GError* error = nullptr;
    if (!gtk_css_provider_load_from_data(provider.get(), css, -1, &error)) {
        g_clear_error(&error);
        return;
    }
    gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider.get()),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

std::string decorationLayout(unsigned styleMask) {
    std::string buttons;
    if (styleMask & WindowStyleMask::Miniaturizable)
        buttons = "minimize";
    if (styleMask & WindowStyleMask::Closable)
        buttons += buttons.empty() ? "close" : ",close";
    return ":" + buttons;
}

GtkWidget* makeMenuButton(const GtkMainMenu& menu) {
    GtkWidget* button = gtk_menu_button_new();
    gtk_widget_insert_action_group(button, "app", menu.actions());
    // A popover (GTK's default), not a GtkMenu: with a menu attached to the button, the window
    // shrank to its header bar when it came back from the 2 x 2 collapse.
    gtk_menu_button_set_menu_model(GTK_MENU_BUTTON(button), menu.model());
    gtk_button_set_image(GTK_BUTTON(button),
                         gtk_image_new_from_icon_name("open-menu-symbolic", GTK_ICON_SIZE_MENU));
    gtk_button_set_relief(GTK_BUTTON(button), GTK_RELIEF_NONE);
    // A click must not take the keyboard from the page.
    gtk_widget_set_focus_on_click(button, FALSE);
    gtk_widget_set_tooltip_text(button, "Menu");
    return button;
}

GtkWidget* makeHeaderBar(unsigned styleMask, const GtkMainMenu* applicationMenu) {
    GtkWidget* headerBar = gtk_header_bar_new();
    if (applicationMenu)
        gtk_header_bar_pack_start(GTK_HEADER_BAR(headerBar), makeMenuButton(*applicationMenu));
    // Shows the window buttons named by the layout, not only a close button.
    gtk_header_bar_set_show_close_button(GTK_HEADER_BAR(headerBar), TRUE);
    gtk_header_bar_set_decoration_layout(GTK_HEADER_BAR(headerBar), decorationLayout(styleMask).c_str());
    gtk_style_context_add_class(gtk_widget_get_style_context(headerBar), slimClass);
    return headerBar;
}

// GTK's inspector changes and opens anything in the program; its keys (Ctrl+Shift+D, Ctrl+Shift+I)
// work wherever the user's settings allow them, so they end here.
gboolean keepInspectorShut(GtkWindow* window, gboolean, gpointer) {
    g_signal_stop_emission_by_name(window, "enable-debugging");
    return TRUE;
}

// An iconic window whose X window is still mapped: mutter (GNOME) keeps minimised windows mapped
// to draw them in its overview.
bool isMappedWhileIconic(GdkWindow* window) {
    if (!window || !GDK_IS_X11_WINDOW(window) || !(gdk_window_get_state(window) & GDK_WINDOW_STATE_ICONIFIED))
        return false;
    GdkDisplay* display = gdk_window_get_display(window);
    XWindowAttributes attributes{};
    gdk_x11_display_error_trap_push(display);
    const Status known = XGetWindowAttributes(gdk_x11_display_get_xdisplay(display),
                                              gdk_x11_window_get_xid(window), &attributes);
    gdk_x11_display_error_trap_pop_ignored(display);
    return known && attributes.map_state == IsViewable;
}

int pixels(double points) {
    return static_cast<int>(std::lround(points));
}

} // namespace

GtkWindowBackend::GtkWindowBackend(const WindowParameters& parameters, GtkApplication* application,
                                   const GtkMainMenu* applicationMenu)
    : window_(GTK_WINDOW(g_object_ref(gtk_window_new(GTK_WINDOW_TOPLEVEL)))),
      resizable_((parameters.styleMask & WindowStyleMask::Resizable) != 0) {
    GtkWindow* window = window_.get();
    if (!parameters.role.empty())
        gtk_window_set_role(window, parameters.role.c_str());
    if (application && g_application_get_is_registered(G_APPLICATION(application)))
        gtk_window_set_application(window, application);
    // GTK's own client-side titlebar sizes the window around the requested size (titlebar, borders,
    // shadows) and only where it already knows their sizes; the program's frames must be exact.
    gtk_window_set_decorated(window, FALSE);
    if (parameters.styleMask & WindowStyleMask::NonactivatingPanel) {
        gtk_window_set_accept_focus(window, FALSE);
        gtk_window_set_focus_on_map(window, FALSE);
        gtk_window_set_skip_taskbar_hint(window, TRUE);
        gtk_window_set_skip_pager_hint(window, TRUE);
        // Openbox keeps a utility window undecorated, out of its focus cycling, and lets it be moved.
        gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_UTILITY);
    }

    // The content fills the whole window; a titled window's bar floats over its top-left corner,
    // showing the content through it, so the page is never cut by a strip of the toolkit's colour.
    layout_ = gtk_overlay_new();
    gtk_container_add(GTK_CONTAINER(window), layout_);
    gtk_widget_show(layout_);
    if (parameters.styleMask & WindowStyleMask::Titled) {
        installHeaderBarStyle(gtk_widget_get_screen(widget()));
        headerBar_ = makeHeaderBar(parameters.styleMask, applicationMenu);
        // The header bar has no input window of its own; the event box catches presses to drag by.
        titlebar_ = gtk_event_box_new();
        gtk_container_add(GTK_CONTAINER(titlebar_), headerBar_);
        gtk_event_box_set_visible_window(GTK_EVENT_BOX(titlebar_), FALSE);
        gtk_widget_set_halign(titlebar_, GTK_ALIGN_START);
        gtk_widget_set_valign(titlebar_, GTK_ALIGN_START);
        gtk_overlay_add_overlay(GTK_OVERLAY(layout_), titlebar_);
        gtk_widget_show_all(titlebar_);
        connections_.emplace_back(titlebar_, "button-press-event", &onTitlebarPress, this);
    }

    connections_.emplace_back(window, "delete-event", &onDeleteEvent, this);
    connections_.emplace_back(window, "window-state-event", &onWindowStateEvent, this);
    connections_.emplace_back(window, "configure-event", &onConfigureEvent, this);
    connections_.emplace_back(window, "draw", &onDraw, this);
    connections_.emplace_back(window, "size-allocate", &onSizeAllocate, this);
    connections_.emplace_back(window, "map-event", &onMapEvent, this);
    connections_.emplace_back(window, "realize", &onRealize, nullptr);
    connections_.emplace_back(window, "enable-debugging", &keepInspectorShut, nullptr);
    setFrame(parameters.contentRect, false);
}

GtkWindowBackend::~GtkWindowBackend() {
    if (settleTimer_)
        g_source_remove(settleTimer_);
    connections_.clear();
    // The view outlives the window, so it leaves before the window destroys its children.
    detachContentView();
    gtk_widget_destroy(widget());
}

Rect GtkWindowBackend::frame() const {
    return frame_;
}

// display has nothing to do here: GTK redraws what changed on its own.
void GtkWindowBackend::setFrame(const Rect& frame, bool) {
    frame_ = frame;
    settlingFrame_ = ScreenCoordinates::of(gtk_widget_get_screen(widget())).toX11(frame_);
    settleTicksLeft_ = 8;
    if (!settleTimer_)
        settleTimer_ = g_timeout_add(150, &holdSettlingFrame, this);
    // The window manager would keep a maximized window where it is.
    if (maximized_)
        gtk_window_unmaximize(window_.get());
    applySizeLimits();
    moveToFrame();
}

void GtkWindowBackend::center() {
    const auto screen = primaryScreen();
    if (!screen)
        return;
    const Rect& area = screen->visibleFrame;
    setFrame(Rect{area.x + (area.width - frame_.width) / 2, area.y + (area.height - frame_.height) / 2,
                  frame_.width, frame_.height},
             true);
}

// The window keeps its title for the window manager and tools even where the header bar hides it.
void GtkWindowBackend::setTitle(const std::string& title) {
    title_ = title;
    gtk_window_set_title(window_.get(), title.c_str());
    showTitle();
}

void GtkWindowBackend::setTitleVisibility(TitleVisibility visibility) {
    titleVisibility_ = visibility;
    showTitle();
}

void GtkWindowBackend::setTitlebarAppearsTransparent(bool transparent) {
    if (!headerBar_)
        return;
    GtkStyleContext* style = gtk_widget_get_style_context(headerBar_);
    if (transparent)
        gtk_style_context_add_class(style, transparentClass);
    else
        gtk_style_context_remove_class(style, transparentClass);
}

// Web content takes every click in this window, so no background is left to drag by.
void GtkWindowBackend::setMovableByWindowBackground(bool) {}

void GtkWindowBackend::setMinSize(const Size& size) {
    minSize_ = size;
    applySizeLimits();
}

void GtkWindowBackend::setLevel(WindowLevel level) {
    gtk_window_set_keep_above(window_.get(), level == WindowLevel::Floating);
}

void GtkWindowBackend::setCollectionBehavior(unsigned behavior) {
    // Full-screen auxiliary has no counterpart: X11 window managers have no full-screen spaces.
    if (behavior & WindowCollectionBehavior::CanJoinAllSpaces)
        gtk_window_stick(window_.get());
    else
        gtk_window_unstick(window_.get());
}

// X11 applications are never deactivated as a whole, so there is nothing to hide on.
void GtkWindowBackend::setHidesOnDeactivate(bool) {}

void GtkWindowBackend::setAlphaValue(double alpha) {
    gtk_widget_set_opacity(widget(), std::clamp(alpha, 0.0, 1.0));
}

void GtkWindowBackend::setIgnoresMouseEvents(bool ignores) {
    ignoresMouseEvents_ = ignores;
    applyShape();
}

// Where a compositor runs, the window gets an alpha channel, taken before it is first shown; where
// none runs, the content's outline becomes the window's shape instead.
void GtkWindowBackend::setOpaque(bool opaque) {
    opaque_ = opaque;
    GdkScreen* screen = gtk_widget_get_screen(widget());
    if (!opaque && gdk_screen_is_composited(screen) && !gtk_widget_get_realized(widget()))
        if (GdkVisual* visual = gdk_screen_get_rgba_visual(screen))
            gtk_widget_set_visual(widget(), visual);
    gtk_widget_set_app_paintable(widget(), !opaque);
    applyShape();
}

void GtkWindowBackend::setBackgroundColor(const Color& color) {
    backgroundColor_ = color;
    gtk_widget_queue_draw(widget());
    applyShape();
}

// Shadows are the compositor's affair on X11; a window cannot ask for one.
void GtkWindowBackend::setHasShadow(bool) {}

void GtkWindowBackend::orderFrontRegardless() {
    if (!gtk_widget_get_visible(widget())) {
        moveToFrame();
        const gboolean focusOnMap = gtk_window_get_focus_on_map(window_.get());
        gtk_window_set_focus_on_map(window_.get(), FALSE);
        gtk_widget_show(widget());
        gtk_window_set_focus_on_map(window_.get(), focusOnMap);
    }
    if (GdkWindow* window = gtk_widget_get_window(widget()))
        gdk_window_raise(window);
}

void GtkWindowBackend::makeKeyAndOrderFront() {
    if (!gtk_widget_get_visible(widget()))
        moveToFrame();
    gtk_window_present(window_.get());
}

void GtkWindowBackend::orderOut() {
    gtk_widget_hide(widget());
}

// A client leaves the iconic state by mapping its window again (ICCCM), which is all
// gtk_window_deiconify does; a window manager that keeps iconic windows mapped never hears that.
// Every EWMH window manager de-miniaturises a window it is asked to activate (_NET_ACTIVE_WINDOW).
void GtkWindowBackend::deminiaturize() {
    gtk_window_deiconify(window_.get());
    GdkWindow* window = gtk_widget_get_window(widget());
    if (isMappedWhileIconic(window))
        gdk_window_focus(window, gdk_x11_get_server_time(window));
}

void GtkWindowBackend::performWindowDragWithEvent(const Event& event) {
    if (!gtk_widget_get_visible(widget()))
        return;
    const GdkPoint root =
        ScreenCoordinates::of(gtk_widget_get_screen(widget())).toX11(event.locationInScreen);
    gtk_window_begin_move_drag(window_.get(), event.buttonNumber + 1, root.x, root.y, event.timestamp);
}

void GtkWindowBackend::setContentView(View& view) {
    auto* content = dynamic_cast<GtkView*>(&view);
    if (!content || content == contentView_)
        return;
    detachContentView();
    contentView_ = content;
    GtkWidget* contentWidget = content->widget();
    if (GtkWidget* parent = gtk_widget_get_parent(contentWidget))
        gtk_container_remove(GTK_CONTAINER(parent), contentWidget);
    gtk_container_add(GTK_CONTAINER(layout_), contentWidget);
    gtk_widget_show(contentWidget);
    // Keys go to the content (the page), not to the title bar's buttons floating over it.
    gtk_window_set_focus(window_.get(), contentWidget);
    content->setWindow(this);
    applyShape();
}

void GtkWindowBackend::setDelegate(WindowDelegate* delegate) {
    delegate_ = delegate;
}

// The minimum size limits the user's resizing, never the program's own frames: while the frame is
// smaller, the limit follows it down, and the header bar, whose own minimum would hold the window
// open, goes until the frame has room for it again. On the way up the limit waits until the window
// has grown: a window manager handed the full minimum while the window is still tiny would enforce
// it on its own, and GTK then takes that size for the answer to its request.
void GtkWindowBackend::applySizeLimits() {
    const GdkRectangle target = ScreenCoordinates::of(gtk_widget_get_screen(widget())).toX11(frame_);
    GdkGeometry geometry{};
    // A GTK window that is not resizable takes its content's size instead of the frame's, so the
    // user is held to the frame by the hints instead.
    auto hints = GDK_HINT_MIN_SIZE;
    if (resizable_) {
        const bool grown = configured_.width >= target.width && configured_.height >= target.height;
        geometry.min_width =
            std::min({pixels(minSize_.width), target.width, grown ? target.width : configured_.width});
        geometry.min_height =
            std::min({pixels(minSize_.height), target.height, grown ? target.height : configured_.height});
        geometry.min_width = std::max(geometry.min_width, 1);
        geometry.min_height = std::max(geometry.min_height, 1);
    } else {
        geometry.min_width = geometry.max_width = target.width;
        geometry.min_height = geometry.max_height = target.height;
        hints = static_cast<GdkWindowHints>(GDK_HINT_MIN_SIZE | GDK_HINT_MAX_SIZE);
    }
    if (geometry.min_width != appliedLimits_.min_width || geometry.min_height != appliedLimits_.min_height ||
        geometry.max_width != appliedLimits_.max_width || geometry.max_height != appliedLimits_.max_height) {
        gtk_window_set_geometry_hints(window_.get(), nullptr, &geometry, hints);
        appliedLimits_ = geometry;
    }

    if (!titlebar_)
        return;
    // Measured on the header bar, which stays visible itself: a hidden widget measures nothing.
    int headerWidth = 0;
    int headerHeight = 0;
    gtk_widget_get_preferred_width(headerBar_, &headerWidth, nullptr);
    gtk_widget_get_preferred_height(headerBar_, &headerHeight, nullptr);
    gtk_widget_set_visible(titlebar_, target.width >= headerWidth && target.height >= headerHeight);
}

void GtkWindowBackend::moveToFrame() {
    const GdkRectangle target = ScreenCoordinates::of(gtk_widget_get_screen(widget())).toX11(frame_);
    // GTK moves a mapped window at once but resizes it later; a window manager keeping the old,
    // larger size on screen would shift the move. So the size request goes first.
    gtk_window_resize(window_.get(), target.width, target.height);
    // A later relayout (the header bar coming back) would otherwise shrink the window to its
    // minimum, as GTK then sizes it from its default size.
    gtk_window_set_default_size(window_.get(), target.width, target.height);
    if (gtk_widget_get_mapped(widget()))
        gtk_container_check_resize(GTK_CONTAINER(window_.get()));
    gtk_window_move(window_.get(), target.x, target.y);
}

void GtkWindowBackend::showTitle() {
    if (headerBar_)
        gtk_header_bar_set_title(GTK_HEADER_BAR(headerBar_),
                                 titleVisibility_ == TitleVisibility::Visible ? title_.c_str() : nullptr);
}

void GtkWindowBackend::detachContentView() {
    if (!contentView_)
        return;
    contentView_->setWindow(nullptr);
    if (gtk_widget_get_parent(contentView_->widget()) == layout_)
        gtk_container_remove(GTK_CONTAINER(layout_), contentView_->widget());
    contentView_ = nullptr;
}

// A window that draws nothing of its own around a rounded content view is that view's outline, to
// the eye and to the pointer.
bool GtkWindowBackend::takesContentOutline() const {
    return !opaque_ && backgroundColor_.alpha == 0 && contentView_ && contentView_->outlineRadius() > 0;
}

void GtkWindowBackend::applyShape() {
    cairo_region_t* outline = nullptr;
    if (takesContentOutline()) {
        const GdkRectangle size = ScreenCoordinates::of(gtk_widget_get_screen(widget())).toX11(frame_);
        outline = roundedRegion(size.width, size.height, contentView_->outlineRadius());
    }
    if (ignoresMouseEvents_) {
        cairo_region_t* empty = cairo_region_create();
        gtk_widget_input_shape_combine_region(widget(), empty);
        cairo_region_destroy(empty);
    } else {
        gtk_widget_input_shape_combine_region(widget(), outline);
    }
    const bool composited = gdk_screen_is_composited(gtk_widget_get_screen(widget()));
    gtk_widget_shape_combine_region(widget(), composited ? nullptr : outline);
    if (outline)
        cairo_region_destroy(outline);
}

gboolean GtkWindowBackend::onDeleteEvent(GtkWidget* widget, GdkEvent*, gpointer data) {
    auto* self = static_cast<GtkWindowBackend*>(data);
    // Without a delegate the window closes, which for a window the program still owns means hidden.
    bool close = !self->delegate_;
    callFromC([self, &close] {
        if (self->delegate_)
            close = self->delegate_->windowShouldClose();
    });
    if (close)
        gtk_widget_hide(widget);
    return TRUE;
}

gboolean GtkWindowBackend::onWindowStateEvent(GtkWidget*, GdkEventWindowState* event, gpointer data) {
    auto* self = static_cast<GtkWindowBackend*>(data);
    self->maximized_ = (event->new_window_state & GDK_WINDOW_STATE_MAXIMIZED) != 0;
    const bool miniaturized = (event->changed_mask & GDK_WINDOW_STATE_ICONIFIED) &&
                              (event->new_window_state & GDK_WINDOW_STATE_ICONIFIED);
    if (miniaturized && self->delegate_)
        callFromC([self] { self->delegate_->windowDidMiniaturize(); });
    return FALSE;
}

// GTK keeps its own idea of the size it last asked for: when the window manager answered a
// request with an interim size (a minimum, the header bar's size), or a relayout shrank the window
// afterwards, asking GTK again for the same size sends nothing. So for a moment after the program
// sets a frame, a window that is not there is put there directly.
// While a frame settles, a window short of it at or below its minimum size is GTK or the window
// manager on the way (or a relayout clamping a stale size), never the user's choice.
bool GtkWindowBackend::isInterimGeometry(const GdkRectangle& geometry) const {
    if (!settlingFrame_ || gdk_rectangle_equal(&geometry, &*settlingFrame_))
        return false;
    const int minimumWidth = std::max(pixels(minSize_.width), appliedLimits_.min_width);
    const int minimumHeight = std::max(pixels(minSize_.height), appliedLimits_.min_height);
    // Below the minimum the window takes no input, so nothing on the way there, size or place, is
    // the user's (X may report the new size at the old place first).
    if (settlingFrame_->width < minimumWidth || settlingFrame_->height < minimumHeight)
        return true;
    // A move at the size set is the user's.
    if (geometry.width == settlingFrame_->width && geometry.height == settlingFrame_->height)
        return false;
    return geometry.width <= minimumWidth && geometry.height <= minimumHeight;
}

gboolean GtkWindowBackend::holdSettlingFrame(gpointer data) {
    auto* self = static_cast<GtkWindowBackend*>(data);
    GdkWindow* window = gtk_widget_get_window(self->widget());
    if (!self->settlingFrame_ || !window || !gtk_widget_get_mapped(self->widget()) ||
        self->settleTicksLeft_-- <= 0) {
        self->settlingFrame_.reset();
        self->settleTimer_ = 0;
        return G_SOURCE_REMOVE;
    }
    const GdkRectangle& target = *self->settlingFrame_;
    if (self->isInterimGeometry(self->configured_))
        gdk_window_move_resize(window, target.x, target.y, target.width, target.height);
    return G_SOURCE_CONTINUE;
}

gboolean GtkWindowBackend::onConfigureEvent(GtkWidget* widget, GdkEventConfigure* event, gpointer data) {
    auto* self = static_cast<GtkWindowBackend*>(data);
    const GdkRectangle geometry{event->x, event->y, event->width, event->height};
    self->configured_ = geometry;
    if (self->isInterimGeometry(geometry)) {
        self->applySizeLimits();
        return FALSE;
    }
    // Anything else that is not the frame set is the user's doing, and is kept.
    if (self->settlingFrame_ && !gdk_rectangle_equal(&geometry, &*self->settlingFrame_))
        self->settlingFrame_.reset();
    self->frame_ = ScreenCoordinates::of(gtk_widget_get_screen(widget)).fromX11(geometry);
    // A window that has grown into its frame gets its full minimum back.
    self->applySizeLimits();
    return FALSE;
}

gboolean GtkWindowBackend::onTitlebarPress(GtkWidget*, GdkEventButton* event, gpointer data) {
    auto* self = static_cast<GtkWindowBackend*>(data);
    if (event->type != GDK_BUTTON_PRESS || event->button != GDK_BUTTON_PRIMARY)
        return FALSE;
    gtk_window_begin_move_drag(self->window_.get(), static_cast<int>(event->button),
                               static_cast<int>(event->x_root), static_cast<int>(event->y_root), event->time);
    return TRUE;
}

// Runs before GTK draws the window's children; a window that is not opaque paints its own
// background colour instead of the theme's.
gboolean GtkWindowBackend::onDraw(GtkWidget*, cairo_t* cr, gpointer data) {
    auto* self = static_cast<GtkWindowBackend*>(data);
    if (self->opaque_)
        return FALSE;
    const Color& color = self->backgroundColor_;
    cairo_save(cr);
    cairo_set_source_rgba(cr, color.red, color.green, color.blue, color.alpha);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_restore(cr);
    return FALSE;
}

// The content's outline may have changed with its layout.
void GtkWindowBackend::onSizeAllocate(GtkWidget*, GdkRectangle*, gpointer data) {
    auto* self = static_cast<GtkWindowBackend*>(data);
    if (self->takesContentOutline())
        self->applyShape();
}

// The window draws its own title bar, with no shadow around it. Saying so (_GTK_FRAME_EXTENTS) keeps
// mutter from taking a frame the size of the monitor for a full-screen request of an old program,
// which would then hold the window to the monitor.
void GtkWindowBackend::onRealize(GtkWidget* widget, gpointer) {
    gdk_window_set_shadow_width(gtk_widget_get_window(widget), 0, 0, 0, 0);
}

// Showing the window drops the input shape given before (the bounding shape stays), so the
// shapes are given again once the window is on screen.
gboolean GtkWindowBackend::onMapEvent(GtkWidget*, GdkEvent*, gpointer data) {
    static_cast<GtkWindowBackend*>(data)->applyShape();
    return FALSE;
}

} // namespace platform::gtk
