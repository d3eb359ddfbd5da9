#include "GtkButtonBackend.h"

#include "CallbackGuard.h"
#include "ScreenCoordinates.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

namespace platform::gtk {

namespace {

void setSource(cairo_t* cr, const Color& color) {
    cairo_set_source_rgba(cr, color.red, color.green, color.blue, color.alpha);
}

void roundedRectangle(cairo_t* cr, double x, double y, double width, double height, double radius) {
    radius = std::clamp(radius, 0.0, std::min(width, height) / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + width - radius, y + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, x + width - radius, y + height - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, x + radius, y + height - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// The desktop's interface font family at the button's size and weight. Sizes are absolute:
// a point of the layer is a pixel of the screen.
PangoFontDescription* fontDescription(GtkWidget* widget, const Font& font) {
    gchar* name = nullptr;
    g_object_get(gtk_widget_get_settings(widget), "gtk-font-name", &name, nullptr);
    PangoFontDescription* description = pango_font_description_from_string(name ? name : "Sans");
    g_free(name);
    pango_font_description_set_absolute_size(description, font.size * PANGO_SCALE);
    pango_font_description_set_weight(description, font.weight == FontWeight::Heavy ? PANGO_WEIGHT_HEAVY
                                                                                    : PANGO_WEIGHT_NORMAL);
    return description;
}

} // namespace

GtkButtonBackend::GtkButtonBackend(const Rect& frame) : area_(gtk_drawing_area_new()) {
    GtkWidget* area = area_.get();
    gtk_widget_set_size_request(area, static_cast<int>(std::lround(frame.width)),
                                static_cast<int>(std::lround(frame.height)));
    gtk_widget_add_events(area, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_BUTTON1_MOTION_MASK);
    connections_.emplace_back(area, "draw", &onDraw, this);
    connections_.emplace_back(area, "button-press-event", &onButtonPress, this);
    connections_.emplace_back(area, "motion-notify-event", &onMotion, this);
    connections_.emplace_back(area, "button-release-event", &onButtonRelease, this);
    gtk_widget_show(area);
}

GtkButtonBackend::~GtkButtonBackend() {
    connections_.clear();
    gtk_widget_destroy(area_.get());
}

void GtkButtonBackend::setTitle(const std::string& title) {
    title_ = title;
    redraw();
}

void GtkButtonBackend::setFont(const Font& font) {
    font_ = font;
    redraw();
}

void GtkButtonBackend::setContentTintColor(const Color& color) {
    tint_ = color;
    redraw();
}

void GtkButtonBackend::setBordered(bool bordered) {
    bordered_ = bordered;
    redraw();
}

void GtkButtonBackend::setWantsLayer(bool wantsLayer) {
    if (wantsLayer && !layer_)
        layer_ = std::make_unique<ButtonLayer>([this] {
            redraw();
            // The holding window takes its shape from the outline when it next lays out.
            gtk_widget_queue_resize(area_.get());
        });
    else if (!wantsLayer)
        layer_.reset();
    redraw();
}

void GtkButtonBackend::setToolTip(const std::string& toolTip) {
    gtk_widget_set_tooltip_text(area_.get(), toolTip.c_str());
}

void GtkButtonBackend::redraw() {
    gtk_widget_queue_draw(area_.get());
}

void GtkButtonBackend::draw(cairo_t* cr) const {
    const double width = gtk_widget_get_allocated_width(area_.get());
    const double height = gtk_widget_get_allocated_height(area_.get());
    if (layer_) {
        drawLayer(cr, width, height);
    } else if (bordered_) {
        GtkStyleContext* style = gtk_widget_get_style_context(area_.get());
        gtk_style_context_save(style);
        gtk_style_context_add_class(style, GTK_STYLE_CLASS_BUTTON);
        gtk_render_background(style, cr, 0, 0, width, height);
        gtk_render_frame(style, cr, 0, 0, width, height);
        gtk_style_context_restore(style);
    }
    drawTitle(cr, width, height);
}

// As a layer draws: the fill clipped to the rounded outline, the border inside the outline.
void GtkButtonBackend::drawLayer(cairo_t* cr, double width, double height) const {
    const ButtonLayer& layer = *layer_;
    if (!gdk_screen_is_composited(gtk_widget_get_screen(area_.get()))) {
        // Nothing blends the window with what lies behind it: beyond the outline the window's shape
        // cuts the pixels away, and the edge pixels it keeps must not fade into black.
        setSource(cr, layer.borderWidth > 0 ? layer.borderColor : layer.backgroundColor);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    }
    cairo_save(cr);
    roundedRectangle(cr, 0, 0, width, height, layer.cornerRadius);
    cairo_clip(cr);
    setSource(cr, layer.backgroundColor);
    cairo_paint(cr);
    if (layer.borderWidth > 0) {
        const double inset = layer.borderWidth / 2;
        roundedRectangle(cr, inset, inset, width - layer.borderWidth, height - layer.borderWidth,
                         std::max(layer.cornerRadius - inset, 0.0));
        cairo_set_line_width(cr, layer.borderWidth);
        setSource(cr, layer.borderColor);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

// The title's own line feeds make its lines, each centred. Lines too wide for the space inside the
// outline and its border are drawn smaller until they fit, rather than cut or wrapped.
void GtkButtonBackend::drawTitle(cairo_t* cr, double width, double height) const {
    if (title_.empty())
        return;
    PangoLayout* layout = gtk_widget_create_pango_layout(area_.get(), title_.c_str());
    pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER);
    Font font = font_;
    PangoRectangle logical{};
    for (int attempt = 0; attempt < 4; ++attempt) {
        PangoFontDescription* description = fontDescription(area_.get(), font);
        pango_layout_set_font_description(layout, description);
        pango_font_description_free(description);
        pango_layout_get_pixel_extents(layout, nullptr, &logical);
        const double room = roomForTitle(width, height, logical.height);
        if (logical.width <= room)
            break;
        font.size = std::floor(font.size * room / logical.width * 2) / 2;
    }
    setSource(cr, tint_);
    cairo_move_to(cr, (width - logical.width) / 2 - logical.x, (height - logical.height) / 2 - logical.y);
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
}

// The narrowest width inside the border over a band of the given height around the middle.
double GtkButtonBackend::roomForTitle(double width, double height, double textHeight) const {
    constexpr double padding = 2;
    if (!layer_)
        return width - 2 * padding;
    const double border = layer_->borderWidth;
    const double radius = std::max(std::min(layer_->cornerRadius, std::min(width, height) / 2) - border, 0.0);
    const double innerWidth = width - 2 * border;
    const double straight = height / 2 - border - radius;
    const double intoCorner = std::max(textHeight / 2 - straight, 0.0);
    if (intoCorner >= radius)
        return 0;
    const double inset = radius - std::sqrt(radius * radius - intoCorner * intoCorner);
    return innerWidth - 2 * inset - 2 * padding;
}

Event GtkButtonBackend::event(double xRoot, double yRoot, guint button, guint32 time) const {
    const auto coordinates = ScreenCoordinates::of(gtk_widget_get_screen(area_.get()));
    return Event{coordinates.fromX11(xRoot, yRoot), static_cast<int>(button) - 1, time};
}

gboolean GtkButtonBackend::onDraw(GtkWidget*, cairo_t* cr, gpointer data) {
    callFromC([&] { static_cast<GtkButtonBackend*>(data)->draw(cr); });
    return TRUE;
}

// Only single presses of the primary button: a double click's extra press is not a new press.
gboolean GtkButtonBackend::onButtonPress(GtkWidget*, GdkEventButton* event, gpointer data) {
    auto* self = static_cast<GtkButtonBackend*>(data);
    if (event->type != GDK_BUTTON_PRESS || event->button != GDK_BUTTON_PRIMARY || !self->handler_)
        return FALSE;
    callFromC([&] {
        self->handler_->mouseDown(self->event(event->x_root, event->y_root, event->button, event->time));
    });
    return TRUE;
}

gboolean GtkButtonBackend::onMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
    auto* self = static_cast<GtkButtonBackend*>(data);
    if (!(event->state & GDK_BUTTON1_MASK) || !self->handler_)
        return FALSE;
    callFromC([&] {
        self->handler_->mouseDragged(
            self->event(event->x_root, event->y_root, GDK_BUTTON_PRIMARY, event->time));
    });
    return TRUE;
}

gboolean GtkButtonBackend::onButtonRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
    auto* self = static_cast<GtkButtonBackend*>(data);
    if (event->button != GDK_BUTTON_PRIMARY || !self->handler_)
        return FALSE;
    callFromC([&] {
        self->handler_->mouseUp(self->event(event->x_root, event->y_root, event->button, event->time));
    });
    return TRUE;
}

} // namespace platform::gtk
