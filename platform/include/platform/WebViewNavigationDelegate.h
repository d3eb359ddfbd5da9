#pragma once

namespace platform {

// Hears how the web view's page and the process that runs it fare. Main thread only.
class WebViewNavigationDelegate {
public:
    virtual ~WebViewNavigationDelegate() = default;
    // The main frame's load finished (successfully or not).
    virtual void didFinishNavigation() = 0;
    // The web content process ended, for whatever reason (crash, out of memory, a kill signal,
    // WebView::terminateWebContentProcess). The view shows nothing until something is loaded
    // again, which starts a new process.
    virtual void webContentProcessDidTerminate() = 0;
    // The web content process stopped answering the program, or answers again.
    virtual void webContentProcessDidBecomeUnresponsive() = 0;
    virtual void webContentProcessDidBecomeResponsive() = 0;
};

} // namespace platform
