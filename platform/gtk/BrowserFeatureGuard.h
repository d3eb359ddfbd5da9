#pragma once

#include "SignalConnection.h"

#include <webkit2/webkit2.h>

namespace platform::gtk {

// Keeps the engine's browser features from one web view: it shows no context menu (whose items
// reload, navigate, download and open windows), no print dialog and no file chooser (both browse
// the disk), takes no drop from another program (the engine would load a dropped link or file in
// place of the page), and every download of its web context is cancelled before it names a file.
// The view must outlive the guard.
class BrowserFeatureGuard {
public:
    explicit BrowserFeatureGuard(WebKitWebView* webView);

private:
    SignalConnection contextMenu_;
    SignalConnection print_;
    SignalConnection fileChooser_;
    SignalConnection drop_;
    SignalConnection downloadStarted_;
};

} // namespace platform::gtk
