#pragma once

#include "platform/NavigationResponse.h"

namespace platform {

// Hears how the web view's page and the process that runs it fare, and decides which documents the
// page's frames may show. Main thread only.
class WebViewNavigationDelegate {
public:
    virtual ~WebViewNavigationDelegate() = default;
    // The main frame's load finished (successfully or not).
    virtual void didFinishNavigation() = 0;
    // Whether a frame shows the document the page's navigation brought. Never asked for the
    // program's own loads (loadHTMLString) nor for moves within a document (its fragment).
    virtual NavigationResponsePolicy
    decidePolicyForNavigationResponse(const NavigationResponse& response) = 0;
    // The web content process ended, for whatever reason (crash, out of memory, a kill signal,
    // WebView::terminateWebContentProcess). The view shows nothing until something is loaded
    // again, which starts a new process.
    virtual void webContentProcessDidTerminate() = 0;
    // The web content process stopped answering the program, or answers again.
    virtual void webContentProcessDidBecomeUnresponsive() = 0;
    virtual void webContentProcessDidBecomeResponsive() = 0;
};

} // namespace platform
