#pragma once

#include "platform/WebView.h"

namespace orvia {

// The page may listen without asking, but never watch: a request for the camera alone is denied,
// every other request (the microphone, with or without the camera) is granted. Never a prompt.
platform::PermissionDecision mediaCapturePermissionDecision(platform::MediaCaptureType type);

} // namespace orvia
