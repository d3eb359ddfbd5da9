// A window to drag from, as a person drags a link or a file from another program: its button
// offers the addresses given on the command line as a URI list. It floats above the kiosk in the
// screen's top-left corner.
#include <gtk/gtk.h>

namespace {

void giveAddresses(GtkWidget*, GdkDragContext*, GtkSelectionData* data, guint, guint, gpointer addresses) {
    gtk_selection_data_set_uris(data, static_cast<gchar**>(addresses));
}

} // namespace

int main(int argc, char** argv) {
    gtk_init(&argc, &argv);
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "drag source");
    gtk_window_set_keep_above(GTK_WINDOW(window), TRUE);
    gtk_window_set_default_size(GTK_WINDOW(window), 160, 80);
    GtkWidget* button = gtk_button_new_with_label("drag me");
    gtk_drag_source_set(button, GDK_BUTTON1_MASK, nullptr, 0, GDK_ACTION_COPY);
    gtk_drag_source_add_uri_targets(button);
    g_signal_connect(button, "drag-data-get", G_CALLBACK(&giveAddresses), argv + 1);
    gtk_container_add(GTK_CONTAINER(window), button);
    g_signal_connect(window, "destroy", G_CALLBACK(&gtk_main_quit), nullptr);
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
