#include "GtkAlert.h"

#include <gtk/gtk.h>

#include <cstring>

namespace platform::gtk {

namespace {

constexpr const char* interfaceRole = "interface";

GtkWindow* interfaceWindow() {
    GList* toplevels = gtk_window_list_toplevels();
    GtkWindow* found = nullptr;
    for (GList* item = toplevels; item && !found; item = item->next) {
        GtkWindow* window = GTK_WINDOW(item->data);
        const char* role = gtk_window_get_role(window);
        if (role && std::strcmp(role, interfaceRole) == 0)
            found = window;
    }
    g_list_free(toplevels);
    return found;
}

} // namespace

int GtkAlert::runModal() {
    GtkWidget* dialog = gtk_message_dialog_new(interfaceWindow(), GTK_DIALOG_MODAL, GTK_MESSAGE_INFO,
                                               GTK_BUTTONS_NONE, "%s", message_.c_str());
    GtkWindow* window = GTK_WINDOW(dialog);
    if (!informative_.empty())
        gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog), "%s", informative_.c_str());
    // Tools and window managers find the alert by its title.
    gtk_window_set_title(window, message_.c_str());
    gtk_window_set_keep_above(window, TRUE);
    // Centred on the screen: the interface window may be collapsed to a speck in a corner.
    gtk_window_set_position(window, GTK_WIN_POS_CENTER);
    GtkWidget* first = nullptr;
    for (std::size_t index = 0; index < buttons_.size(); ++index) {
        GtkWidget* button = gtk_dialog_add_button(GTK_DIALOG(dialog), buttons_[index].c_str(),
                                                  AlertResponse::FirstButton + static_cast<int>(index));
        if (!first)
            first = button;
    }
    if (first) {
        gtk_dialog_set_default_response(GTK_DIALOG(dialog), AlertResponse::FirstButton);
        // Drawn as the default, as the first button of an alert is on the original platform.
        gtk_style_context_add_class(gtk_widget_get_style_context(first), GTK_STYLE_CLASS_SUGGESTED_ACTION);
        gtk_widget_grab_focus(first);
    }
    const int response = gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    // Escape, the window manager's close button or the dialog's destruction.
    return response >= AlertResponse::FirstButton ? response : AlertResponse::Dismissed;
}

} // namespace platform::gtk
