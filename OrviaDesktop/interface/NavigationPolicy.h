#pragma once

#include "platform/NavigationResponse.h"

namespace orvia {

// The interface is the one document of the main frame, and only the program loads it: the page
// may not replace it, not even by reloading (which would read the interface's folder, not the
// interface). Frames inside the page go where the page sends them, within the web process's
// sandbox, as long as they can show what they get: nothing is downloaded.
platform::NavigationResponsePolicy navigationResponsePolicy(const platform::NavigationResponse& response);

} // namespace orvia
