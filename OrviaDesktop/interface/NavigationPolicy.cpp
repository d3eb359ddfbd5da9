#include "interface/NavigationPolicy.h"

namespace orvia {

platform::NavigationResponsePolicy navigationResponsePolicy(const platform::NavigationResponse& response) {
    if (response.isForMainFrame || !response.canShowMIMEType)
        return platform::NavigationResponsePolicy::Cancel;
    return platform::NavigationResponsePolicy::Allow;
}

} // namespace orvia
