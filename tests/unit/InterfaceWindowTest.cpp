#include "fake/FakePlatform.h"
#include "interface/OrviaWindowController.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using orvia::OrviaWindowController;
using testing::ElementsAre;

TEST(InterfaceWindow, CreationBuildsTheWebViewThenTheWindowThenTakesOverTheMessageHandler) {
    fake::FakePlatform os;
    os.defaults.setObject("OrviaDesktopGuestMemberID", "orvia-kiosk-1234");
    os.log.take();

    OrviaWindowController controller(os);

    EXPECT_THAT(
        os.log.take(),
        ElementsAre("content.create",
                    "content.addUserScript start mainFrameOnly=YES window.ORVIA_MEMBER_ID = "
                    "'orvia-kiosk-1234'; window.ORVIA_KIOSK = true;",
                    "content.addScriptMessageHandler orvia",
                    "web.create frame=0,0,0,0 javaScript=YES mediaRequiringUserAction=0",
                    "web.setDrawsBackground NO", "web.setNavigationDelegate set",
                    "interface.create content=0,0,1180,780 style=32781", "interface.setTitle Orvia AI Life",
                    "interface.setTitleVisibility 1", "interface.setTitlebarAppearsTransparent YES",
                    "interface.setMovableByWindowBackground YES", "interface.setMinSize 900x620",
                    "interface.setLevel 3", "interface.setCollectionBehavior 257",
                    "interface.setHidesOnDeactivate NO", "interface.setFrame 0,70,1440,805 display=YES",
                    "interface.setContentView", "interface.setDelegate", "web.setUIDelegate",
                    "content.removeScriptMessageHandler orvia", "content.addScriptMessageHandler orvia",
                    "web.loadHTMLString base=none <h1>Orvia interface is unavailable.</h1>"));
    EXPECT_EQ(os.window("interface")->contentView(), os.webView());
    EXPECT_FALSE(os.window("interface")->isVisible()) << "creation must not put the window on screen";
}

TEST(InterfaceWindow, PlaceholderHoldsTheHandlerNameOnlyUntilTheControllerTakesIt) {
    fake::FakePlatform os;
    OrviaWindowController controller(os);
    auto& content =
        dynamic_cast<fake::FakeUserContentController&>(*os.webView()->configuration().userContentController);

    EXPECT_EQ(content.handler("orvia"), &controller);
    EXPECT_NE(content.handler("orvia"), &OrviaWindowController::selfPlaceholder());
    // The first message of the page reaches the controller: a collapse happens.
    EXPECT_TRUE(os.webView()->post("orvia", {{"type", "minimize"}}));
    EXPECT_EQ(os.window("interface")->frame(), (platform::Rect{0, 70, 2, 2}));
}

TEST(InterfaceWindow, WithoutAMainScreenTheWindowIsCentredAtItsContentSize) {
    fake::FakePlatform os;
    os.screenList.setMainScreen(std::nullopt);
    OrviaWindowController controller(os);

    EXPECT_THAT(os.log.linesStartingWith("interface.setFrame"), testing::IsEmpty());
    EXPECT_THAT(os.log.linesStartingWith("interface.center"), testing::SizeIs(1));
    EXPECT_EQ(os.window("interface")->frame(), (platform::Rect{0, 0, 1180, 780}));
}

TEST(InterfaceWindow, ConfiguresScriptsAndMediaForAKiosk) {
    fake::FakePlatform os;
    OrviaWindowController controller(os);
    const auto& configuration = os.webView()->configuration();

    EXPECT_TRUE(configuration.allowsContentJavaScript);
    EXPECT_EQ(configuration.mediaTypesRequiringUserActionForPlayback, platform::AudiovisualMediaTypes::None);
    EXPECT_FALSE(os.webView()->drawsBackground());
    auto& content = dynamic_cast<fake::FakeUserContentController&>(*configuration.userContentController);
    ASSERT_EQ(content.userScripts().size(), 1u);
    EXPECT_EQ(content.userScripts()[0].injectionTime, platform::UserScriptInjectionTime::AtDocumentStart);
    EXPECT_TRUE(content.userScripts()[0].forMainFrameOnly);
}
