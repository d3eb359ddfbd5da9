#include "fake/FakePlatform.h"
#include "interface/MediaCapturePermission.h"
#include "interface/NavigationPolicy.h"
#include "interface/OrviaWindowController.h"
#include "interface/PageRequest.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

using nlohmann::json;
using orvia::pageRequestFromMessage;
using platform::MediaCaptureType;
using platform::NavigationResponse;
using platform::NavigationResponsePolicy;
using platform::PermissionDecision;

TEST(PageRequest, TheThreeRequestsAreRecognised) {
    EXPECT_EQ(pageRequestFromMessage({{"type", "minimize"}}), orvia::PageRequest{orvia::CollapseRequest{}});
    EXPECT_EQ(pageRequestFromMessage({{"type", "wake"}, {"extra", {1, 2}}}),
              orvia::PageRequest{orvia::WakeRequest{}});
    EXPECT_EQ(pageRequestFromMessage({{"type", "openExternal"}, {"url", "https://orvia.ai/help?q=1#top"}}),
              orvia::PageRequest{orvia::OpenExternalRequest{"https://orvia.ai/help?q=1#top"}});
    EXPECT_EQ(pageRequestFromMessage({{"type", "openExternal"}, {"url", "http://user@example.com:8080"}}),
              orvia::PageRequest{orvia::OpenExternalRequest{"http://user@example.com:8080"}});
}

TEST(PageRequest, AnOpenExternalWithoutAWebLinkIsIgnored) {
    // Bodies that are no object with one of the three names are the fuzz target's seeds.
    std::vector<json> ignored = {
        {{"type", "openExternal"}},
        {{"type", "openExternal"}, {"url", 5}},
        {{"type", "openExternal"}, {"url", {{"href", "https://orvia.ai"}}}},
    };
    for (const char* url : {"/help", "orvia.ai/help", "file:///etc/passwd", "mailto:help@orvia.ai",
                            "javascript:alert(1)", "HTTPS://orvia.ai", "ftp://orvia.ai", "https:orvia.ai",
                            "https://", "https:// orvia.ai", "https://orvia.ai/a b", "https://orvia.ai/%zz",
                            "https://orvia.ai/\n", "https://ORVIA.\xc3\xa9", "https://:443/", ""})
        ignored.push_back({{"type", "openExternal"}, {"url", url}});
    for (const auto& body : ignored)
        EXPECT_EQ(pageRequestFromMessage(body), std::nullopt) << body.dump();
}

// The decisions, and the controller carrying them out for its web view, also once the page's process
// has died and the interface has come back.
TEST(PagePolicy, CameraAloneIsDeniedWithoutPromptAndFramesShowOnlyWhatTheyCanDisplayButNeverReplaceThePage) {
    const std::pair<MediaCaptureType, PermissionDecision> media[] = {
        {MediaCaptureType::Camera, PermissionDecision::Deny},
        {MediaCaptureType::Microphone, PermissionDecision::Grant},
        {MediaCaptureType::CameraAndMicrophone, PermissionDecision::Grant},
        {static_cast<MediaCaptureType>(3), PermissionDecision::Grant},
        {static_cast<MediaCaptureType>(-1), PermissionDecision::Grant},
    };
    const std::pair<NavigationResponse, NavigationResponsePolicy> navigation[] = {
        {{.isForMainFrame = true, .canShowMIMEType = true}, NavigationResponsePolicy::Cancel},
        {{.isForMainFrame = true, .canShowMIMEType = false}, NavigationResponsePolicy::Cancel},
        {{.isForMainFrame = false, .canShowMIMEType = true}, NavigationResponsePolicy::Allow},
        {{.isForMainFrame = false, .canShowMIMEType = false}, NavigationResponsePolicy::Cancel},
    };
    fake::FakePlatform os;
    std::ofstream(os.bundle.resources() / "index.html") << "<p>kiosk</p>";
    orvia::OrviaWindowController controller(os);

    for (int load = 0; load < 2; ++load) {
        SCOPED_TRACE(testing::Message() << "load " << load);
        for (const auto& [type, decision] : media) {
            EXPECT_EQ(orvia::mediaCapturePermissionDecision(type), decision) << static_cast<int>(type);
            // Answered at once, exactly once, whatever the origin.
            EXPECT_THAT(os.webView()->requestMediaCapture("https://evil.example", type),
                        testing::ElementsAre(decision))
                << static_cast<int>(type);
        }
        for (const auto& [response, policy] : navigation) {
            const auto row = testing::Message() << "main frame " << response.isForMainFrame
                                                << ", displayable " << response.canShowMIMEType;
            EXPECT_EQ(orvia::navigationResponsePolicy(response), policy) << row;
            EXPECT_EQ(os.webView()->receiveNavigationResponse(response), policy) << row;
        }
        os.webView()->crashWebContentProcess();
        os.queue.drain();
        EXPECT_TRUE(os.webView()->hasWebContentProcess());
    }
}
