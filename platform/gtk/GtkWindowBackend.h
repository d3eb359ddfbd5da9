#pragma once

#include "GObjectRef.h"
#include "GtkMainMenu.h"
#include "GtkView.h"
#include "SignalConnection.h"
#include "platform/Window.h"

#include <gtk/gtk.h>

#include <optional>
#include <string>
#include <vector>

namespace platform::gtk {

// An undecorated GtkWindow whose own first child is a slim header bar offering only the buttons the
// style mask allows. Neither the window manager nor GTK adds a frame, border or shadow around it, so
// the window's X geometry is exactly its frame. A non-activating panel never takes the focus and
// stays out of taskbars and pagers; with a clear background it takes the outline of its content.
class GtkWindowBackend final : public Window {
public:
    // A titled window offers the application's menu from a button in its header bar.
    GtkWindowBackend(const WindowParameters& parameters, GtkApplication* application,
                     const GtkMainMenu* applicationMenu = nullptr);
    ~GtkWindowBackend() override;

    Rect frame() const override;
    void setFrame(const Rect& frame, bool display) override;
    void center() override;

    void setTitle(const std::string& title) override;
    void setTitleVisibility(TitleVisibility visibility) override;
    void setTitlebarAppearsTransparent(bool transparent) override;
    void setMovableByWindowBackground(bool movable) override;
    void setMinSize(const Size& size) override;
    void setLevel(WindowLevel level) override;
    void setCollectionBehavior(unsigned behavior) override;
    void setHidesOnDeactivate(bool hides) override;
    void setAlphaValue(double alpha) override;
    void setIgnoresMouseEvents(bool ignores) override;
    void setOpaque(bool opaque) override;
    void setBackgroundColor(const Color& color) override;
    void setHasShadow(bool hasShadow) override;

    void orderFrontRegardless() override;
    void makeKeyAndOrderFront() override;
    void orderOut() override;
    void deminiaturize() override;
    void performWindowDragWithEvent(const Event& event) override;

    void setContentView(View& view) override;
    void setDelegate(WindowDelegate* delegate) override;

private:
    GtkWidget* widget() const { return GTK_WIDGET(window_.get()); }
    void applySizeLimits();
    void moveToFrame();
    void showTitle();
    void detachContentView();
    bool takesContentOutline() const;
    void applyShape();

    static gboolean onDeleteEvent(GtkWidget* widget, GdkEvent* event, gpointer self);
    static gboolean onWindowStateEvent(GtkWidget* widget, GdkEventWindowState* event, gpointer self);
    static gboolean onConfigureEvent(GtkWidget* widget, GdkEventConfigure* event, gpointer self);
    static gboolean holdSettlingFrame(gpointer self);
    bool isInterimGeometry(const GdkRectangle& geometry) const;
    static gboolean onTitlebarPress(GtkWidget* widget, GdkEventButton* event, gpointer self);
    static gboolean onDraw(GtkWidget* widget, cairo_t* cr, gpointer self);
    static void onSizeAllocate(GtkWidget* widget, GdkRectangle* allocation, gpointer self);
    static gboolean onMapEvent(GtkWidget* widget, GdkEvent* event, gpointer self);
    static void onRealize(GtkWidget* widget, gpointer);

    GObjectRef<GtkWindow> window_;
    // Owned by the window.
    GtkWidget* layout_ = nullptr;
    GtkWidget* titlebar_ = nullptr;
    GtkWidget* headerBar_ = nullptr;
    GtkView* contentView_ = nullptr;
    WindowDelegate* delegate_ = nullptr;
    Rect frame_;
    Size minSize_;
    // The size X last reported, and the minimum last handed to the window manager.
    GdkRectangle configured_{};
    // A frame the program set, held for a moment: what X reports meanwhile is on the way there
    // (or a late relayout undoing it) and must not become the frame.
    std::optional<GdkRectangle> settlingFrame_;
    guint settleTimer_ = 0;
    int settleTicksLeft_ = 0;
    GdkGeometry appliedLimits_{};
    std::string title_;
    TitleVisibility titleVisibility_ = TitleVisibility::Visible;
    bool resizable_;
    bool maximized_ = false;
    bool ignoresMouseEvents_ = false;
    bool opaque_ = true;
    Color backgroundColor_;
    std::vector<SignalConnection> connections_;
};

} // namespace platform::gtk
