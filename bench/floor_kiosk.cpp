// The floor the kiosk is measured against: the least a GTK 3 program needs to show a page in a
// WebKitGTK view, with every setting left at the engine's defaults.
//   floor_kiosk HTML_FILE BASE_URI
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

int main(int argc, char** argv) {
    gtk_init(&argc, &argv);
    if (argc != 3)
        return 2;
    gchar* html = nullptr;
    if (!g_file_get_contents(argv[1], &html, nullptr, nullptr))
        return 1;
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "floor");
    gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
    gtk_window_maximize(GTK_WINDOW(window));
    GtkWidget* view = webkit_web_view_new();
    gtk_container_add(GTK_CONTAINER(window), view);
    webkit_web_view_load_html(WEBKIT_WEB_VIEW(view), html, argv[2]);
    g_free(html);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
