#include "interface/MediaCapturePermission.h"

namespace orvia {

platform::PermissionDecision mediaCapturePermissionDecision(platform::MediaCaptureType type) {
    return type == platform::MediaCaptureType::Camera ? platform::PermissionDecision::Deny
                                                      : platform::PermissionDecision::Grant;
}

} // namespace orvia
