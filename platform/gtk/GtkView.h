#pragma once

#include "platform/Window.h"

#include <gtk/gtk.h>

namespace platform::gtk {

// What a window of this backend needs of the view it shows.
class GtkView {
  public:
    virtual ~GtkView() = default;
    virtual GtkWidget* widget() const = 0;
    // The radius of the rounded outline the view draws within its bounds; 0 when it fills them.
    // A window that draws nothing of its own takes this shape.
    virtual double outlineRadius() const { return 0; }
    // The window now holding the view, or null when it leaves it.
    virtual void setWindow(Window*) {}
};

} // namespace platform::gtk
