#pragma once

namespace platform {

// A document that arrived for a frame the page navigated (a link, a location change, a form, a
// reload, its history, something dropped on the view), before the frame shows it.
struct NavigationResponse {
    bool isForMainFrame = false;
    // What the engine cannot display it would otherwise save as a download.
    bool canShowMIMEType = false;
};

// Cancel leaves the frame showing what it showed.
enum class NavigationResponsePolicy { Cancel, Allow };

} // namespace platform
