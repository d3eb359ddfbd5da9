#pragma once

#include "ButtonLayer.h"
#include "GObjectRef.h"
#include "GtkView.h"
#include "SignalConnection.h"
#include "platform/Button.h"

#include <gtk/gtk.h>

#include <memory>
#include <vector>

namespace platform::gtk {

// A drawing area that paints its layer and its title with cairo and Pango, and hands the primary
// button's presses, motions and releases to its mouse handler.
class GtkButtonBackend final : public Button, public GtkView {
  public:
    explicit GtkButtonBackend(const Rect& frame);
    ~GtkButtonBackend() override;

    void setTitle(const std::string& title) override;
    void setFont(const Font& font) override;
    void setContentTintColor(const Color& color) override;
    void setBordered(bool bordered) override;
    void setWantsLayer(bool wantsLayer) override;
    Layer* layer() override { return layer_.get(); }
    void setToolTip(const std::string& toolTip) override;
    void setTarget(ActionTarget* target) override { target_ = target; }
    ActionTarget* target() const override { return target_; }
    void setAction(std::optional<std::string> action) override { action_ = std::move(action); }
    const std::optional<std::string>& action() const override { return action_; }
    void setMouseEventHandler(MouseEventHandler* handler) override { handler_ = handler; }
    Window* window() const override { return window_; }

    GtkWidget* widget() const override { return area_.get(); }
    double outlineRadius() const override { return layer_ ? layer_->cornerRadius : 0; }
    void setWindow(Window* window) override { window_ = window; }

  private:
    void redraw();
    void draw(cairo_t* cr) const;
    void drawLayer(cairo_t* cr, double width, double height) const;
    void drawTitle(cairo_t* cr, double width, double height) const;
    double roomForTitle(double width, double height, double textHeight) const;
    Event event(double xRoot, double yRoot, guint button, guint32 time) const;

    static gboolean onDraw(GtkWidget* widget, cairo_t* cr, gpointer self);
    static gboolean onButtonPress(GtkWidget* widget, GdkEventButton* event, gpointer self);
    static gboolean onMotion(GtkWidget* widget, GdkEventMotion* event, gpointer self);
    static gboolean onButtonRelease(GtkWidget* widget, GdkEventButton* event, gpointer self);

    GObjectRef<GtkWidget> area_;
    std::unique_ptr<ButtonLayer> layer_;
    std::string title_;
    Font font_;
    Color tint_{0, 0, 0, 1};
    bool bordered_ = true;
    ActionTarget* target_ = nullptr;
    std::optional<std::string> action_;
    MouseEventHandler* handler_ = nullptr;
    Window* window_ = nullptr;
    std::vector<SignalConnection> connections_;
};

} // namespace platform::gtk
