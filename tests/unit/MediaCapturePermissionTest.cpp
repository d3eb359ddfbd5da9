#include "interface/MediaCapturePermission.h"
#include "fake/FakePlatform.h"
#include "interface/OrviaWindowController.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using platform::MediaCaptureType;
using platform::PermissionDecision;

TEST(MediaCapturePermission, MicrophoneYesCameraAloneNoNeverAPrompt) {
    struct Row {
        MediaCaptureType type;
        PermissionDecision decision;
    };
    const Row rows[] = {
        {MediaCaptureType::Camera, PermissionDecision::Deny},
        {MediaCaptureType::Microphone, PermissionDecision::Grant},
        {MediaCaptureType::CameraAndMicrophone, PermissionDecision::Grant},
        {static_cast<MediaCaptureType>(3), PermissionDecision::Grant},
        {static_cast<MediaCaptureType>(-1), PermissionDecision::Grant},
        {static_cast<MediaCaptureType>(1000), PermissionDecision::Grant},
    };
    fake::FakePlatform os;
    orvia::OrviaWindowController controller(os);
    ASSERT_EQ(os.webView()->uiDelegate(), &controller);

    for (const auto& [type, decision] : rows) {
        const int value = static_cast<int>(type);
        EXPECT_EQ(orvia::mediaCapturePermissionDecision(type), decision) << "type " << value;
        // The web view's question is answered at once, exactly once, whatever the origin.
        EXPECT_THAT(os.webView()->requestMediaCapture("https://evil.example", type),
                    testing::ElementsAre(decision))
            << "type " << value;
    }
}
