#include "BrowserFeatureGuard.h"

namespace platform::gtk {

namespace {

gboolean showNoContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent*, WebKitHitTestResult*, gpointer) {
    return TRUE;
}

gboolean printNothing(WebKitWebView*, WebKitPrintOperation*, gpointer) {
    return TRUE;
}

gboolean cancelFileChooser(WebKitWebView*, WebKitFileChooserRequest* request, gpointer) {
    webkit_file_chooser_request_cancel(request);
    return TRUE;
}

// Drags within the page keep working: only they have a source widget in this process.
gboolean refuseForeignDrop(GtkWidget*, GdkDragContext* context, gint, gint, guint time, gpointer) {
    if (gtk_drag_get_source_widget(context))
        return FALSE;
    gtk_drag_finish(context, FALSE, FALSE, time);
    return TRUE;
}

void cancelDownload(WebKitWebContext*, WebKitDownload* download, gpointer) {
    webkit_download_cancel(download);
}

} // namespace

BrowserFeatureGuard::BrowserFeatureGuard(WebKitWebView* webView)
    : contextMenu_(webView, "context-menu", &showNoContextMenu, nullptr),
      print_(webView, "print", &printNothing, nullptr),
      fileChooser_(webView, "run-file-chooser", &cancelFileChooser, nullptr),
      drop_(webView, "drag-drop", &refuseForeignDrop, nullptr),
      downloadStarted_(webkit_web_view_get_context(webView), "download-started", &cancelDownload, nullptr) {}

} // namespace platform::gtk
