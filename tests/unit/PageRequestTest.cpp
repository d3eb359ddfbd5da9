#include "fake/FakePlatform.h"
#include "interface/OrviaWindowController.h"
#include "interface/PageRequest.h"
#include "interface/WebLink.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using nlohmann::json;
using orvia::pageRequestFromMessage;

TEST(PageRequest, TheThreeRequestsAreRecognised) {
    EXPECT_EQ(pageRequestFromMessage({{"type", "minimize"}}), orvia::PageRequest{orvia::CollapseRequest{}});
    EXPECT_EQ(pageRequestFromMessage({{"type", "wake"}, {"extra", {1, 2}}}), orvia::PageRequest{orvia::WakeRequest{}});
    EXPECT_EQ(pageRequestFromMessage({{"type", "openExternal"}, {"url", "https://orvia.ai/help?q=1#top"}}),
              orvia::PageRequest{orvia::OpenExternalRequest{"https://orvia.ai/help?q=1#top"}});
    EXPECT_EQ(pageRequestFromMessage({{"type", "openExternal"}, {"url", "http://user@example.com:8080"}}),
              orvia::PageRequest{orvia::OpenExternalRequest{"http://user@example.com:8080"}});
}

TEST(PageRequest, EveryOtherBodyIsIgnored) {
    std::vector<json> ignored = {
        "minimize",
        42,
        json::array({"minimize"}),
        nullptr,
        true,
        json::object(),
        {{"type", 1}},
        {{"type", nullptr}},
        {{"type", json::array({"minimize"})}},
        {{"type", "Minimize"}},
        {{"type", "WAKE"}},
        {{"type", "minimize "}},
        {{"kind", "minimize"}},
        {{"type", "close"}},
        {{"type", "openExternal"}},
        {{"type", "openExternal"}, {"url", 5}},
        {{"type", "openExternal"}, {"url", {{"href", "https://orvia.ai"}}}},
    };
    for (const char* url : {"/help", "orvia.ai/help", "file:///etc/passwd", "mailto:help@orvia.ai",
                            "javascript:alert(1)", "HTTPS://orvia.ai", "ftp://orvia.ai", "https:orvia.ai",
                            "https://", "https:// orvia.ai", "https://orvia.ai/a b", "https://orvia.ai/%zz",
                            "https://orvia.ai/\n", "https://ORVIA.\xc3\xa9", ""})
        ignored.push_back({{"type", "openExternal"}, {"url", url}});
    for (const auto& body : ignored)
        EXPECT_EQ(pageRequestFromMessage(body), std::nullopt) << body.dump();
}

TEST(PageRequest, UrlSchemeKeepsItsCaseAndRejectsMalformedText) {
    EXPECT_EQ(orvia::urlScheme("HTTPS://orvia.ai"), "HTTPS");
    EXPECT_EQ(orvia::urlScheme("mailto:help@orvia.ai"), "mailto");
    EXPECT_EQ(orvia::urlScheme("x-orvia+v1.2:thing"), "x-orvia+v1.2");
    EXPECT_EQ(orvia::urlScheme("1http://a"), std::nullopt);
    EXPECT_EQ(orvia::urlScheme(":nothing"), std::nullopt);
    EXPECT_EQ(orvia::urlScheme("no-scheme"), std::nullopt);
}

TEST(PageRequest, MessagesDriveTheControllerAndOnlyWebLinksLeaveTheKiosk) {
    fake::FakePlatform os;
    orvia::OrviaWindowController controller(os);
    auto& window = *os.window("interface");

    os.webView()->post("orvia", {{"type", "minimize"}});
    EXPECT_EQ(window.frame(), (platform::Rect{0, 70, 2, 2}));
    os.webView()->post("orvia", "wake");
    EXPECT_EQ(window.frame(), (platform::Rect{0, 70, 2, 2}));
    os.webView()->post("orvia", {{"type", "wake"}});
    EXPECT_EQ(window.frame(), fake::FakePlatform::defaultVisibleFrame);

    os.webView()->post("orvia", {{"type", "openExternal"}, {"url", "file:///etc/passwd"}});
    os.webView()->post("orvia", {{"type", "openExternal"}, {"url", "https://orvia.ai/help"}});
    EXPECT_THAT(os.work.openedURLs(), testing::ElementsAre("https://orvia.ai/help"));
}
