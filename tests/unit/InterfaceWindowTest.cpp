#include "fake/FakePlatform.h"
#include "interface/OrviaWindowController.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using orvia::OrviaWindowController;
using Maximize = OrviaWindowController::Maximize;
using testing::ElementsAre;

namespace {

std::vector<std::string> bubbleLines(const std::vector<std::string>& lines) {
    std::vector<std::string> bubble;
    for (const auto& line : lines)
        if (line.starts_with("bubble.") || line.starts_with("button."))
            bubble.push_back(line);
    return bubble;
}

// The interface window's controller on a fresh recording platform, its creation forgotten.
class Interface : public testing::Test {
protected:
    Interface() : controller(os), window(*os.window("interface")) { os.log.take(); }

    fake::FakeWindow& bubble() { return *os.window("bubble"); }

    fake::FakePlatform os;
    OrviaWindowController controller;
    fake::FakeWindow& window;
};

class WindowModes : public Interface {};
class BubblePanel : public Interface {};

} // namespace

TEST(InterfaceWindow, CreationBuildsTheWebViewThenTheWindowThenTakesOverTheMessageHandler) {
    fake::FakePlatform os;
    os.defaults.setObject("OrviaDesktopGuestMemberID", "orvia-kiosk-'1234'");
    os.log.take();

    OrviaWindowController controller(os);

    EXPECT_THAT(
        os.log.take(),
        ElementsAre("content.create",
                    "content.addUserScript start mainFrameOnly=YES window.ORVIA_MEMBER_ID = "
                    "'orvia-kiosk-\\'1234\\''; window.ORVIA_KIOSK = true;",
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

TEST_F(WindowModes, CollapseShrinksTheWindowToAnInvisibleCornerAndPausesThePage) {
    controller.minimizeToBubble();

    auto log = os.log.take();
    ASSERT_GT(log.size(), 6u);
    EXPECT_THAT(std::vector(log.begin(), log.begin() + 6),
                ElementsAre("interface.setFrame 0,70,2,2 display=NO", "interface.setAlphaValue 0.01",
                            "interface.setIgnoresMouseEvents YES", "interface.setLevel 0",
                            "interface.orderFrontRegardless",
                            "web.eval window.orviaPause && window.orviaPause()"));
    EXPECT_EQ(log.back(), "bubble.orderFrontRegardless") << "the bubble is shown last";
    EXPECT_TRUE(window.isVisible()) << "the collapsed window stays ordered in";
}

TEST_F(WindowModes, ExpandFillsTheVisibleFrameActivatesAndResumesThePage) {
    controller.showMainWindow(Maximize::Yes);

    EXPECT_THAT(os.log.take(),
                ElementsAre("interface.deminiaturize", "interface.setFrame 0,70,1440,805 display=YES",
                            "interface.setAlphaValue 1", "interface.setIgnoresMouseEvents NO",
                            "interface.setLevel 3", "app.unhide", "interface.orderFrontRegardless",
                            "interface.makeKeyAndOrderFront", "app.activateIgnoringOtherApps YES",
                            "web.eval window.orviaResume && window.orviaResume()"));
    EXPECT_TRUE(window.isKey());
}

TEST_F(WindowModes, OnlyFramesWiderThanAHundredPointsAreSavedForTheNextExpand) {
    struct Case {
        double width;
        platform::Rect expectedAfterExpand;
    };
    const platform::Rect visible = fake::FakePlatform::defaultVisibleFrame;
    for (auto [width, expected] : {Case{100.0, visible}, Case{100.5, {10, 80, 100.5, 700}}}) {
        fake::FakePlatform freshOs;
        OrviaWindowController fresh(freshOs);
        freshOs.window("interface")->setFrame({10, 80, width, 700}, true);
        fresh.minimizeToBubble();
        fresh.showMainWindow(Maximize::No);
        EXPECT_EQ(freshOs.window("interface")->frame(), expected) << "width " << width;
    }
}

TEST_F(WindowModes, RepeatedCollapseKeepsTheFrameFromBeforeTheFirst) {
    window.setFrame({100, 200, 1000, 640}, true);
    controller.minimizeToBubble();
    controller.minimizeToBubble();
    EXPECT_EQ(os.log.linesStartingWith("web.eval window.orviaPause").size(), 2u);

    controller.showMainWindow(Maximize::No);
    EXPECT_EQ(window.frame(), (platform::Rect{100, 200, 1000, 640}));
}

TEST_F(WindowModes, MaximisedExpandLeavesTheSavedFrameForTheNextPlainExpand) {
    window.setFrame({100, 200, 1000, 640}, true);
    controller.minimizeToBubble();
    controller.showMainWindow(Maximize::Yes);
    EXPECT_EQ(window.frame(), fake::FakePlatform::defaultVisibleFrame);

    controller.showMainWindow(Maximize::No);
    EXPECT_EQ(window.frame(), (platform::Rect{100, 200, 1000, 640}));

    // A collapse from the maximised frame saves that one.
    controller.showMainWindow(Maximize::Yes);
    controller.minimizeToBubble();
    controller.showMainWindow(Maximize::No);
    EXPECT_EQ(window.frame(), fake::FakePlatform::defaultVisibleFrame);
}

TEST_F(WindowModes, PlainExpandBeforeAnyCollapseFillsTheVisibleFrameAndUndoesMoves) {
    window.setFrame({5, 5, 950, 650}, true);
    controller.showMainWindow(Maximize::No);
    EXPECT_EQ(window.frame(), fake::FakePlatform::defaultVisibleFrame);
}

TEST_F(WindowModes, WithoutAMainScreenTheFrameStaysButEverythingElseChanges) {
    window.setFrame({100, 200, 1000, 640}, true);
    os.screenList.setMainScreen(std::nullopt);
    os.log.take();

    auto frameChanges = [&] {
        auto lines = os.log.take();
        std::erase_if(lines, [](const std::string& line) { return !line.starts_with("interface.setFrame"); });
        return lines;
    };

    controller.minimizeToBubble();
    EXPECT_THAT(frameChanges(), testing::IsEmpty());
    EXPECT_EQ(window.alpha(), 0.01);
    EXPECT_TRUE(window.ignoresMouseEvents());
    EXPECT_EQ(window.level(), platform::WindowLevel::Normal);

    // Maximise needs the screen: frame untouched, the rest still runs.
    controller.showMainWindow(Maximize::Yes);
    EXPECT_THAT(frameChanges(), testing::IsEmpty());
    EXPECT_EQ(window.alpha(), 1.0);
    EXPECT_EQ(window.level(), platform::WindowLevel::Floating);
    EXPECT_TRUE(window.isKey());

    // A plain expand still has the saved frame.
    controller.showMainWindow(Maximize::No);
    EXPECT_THAT(frameChanges(), ElementsAre("interface.setFrame 100,200,1000,640 display=YES"));
}

TEST_F(BubblePanel, FirstCollapseBuildsTheRoundButtonPanelInTheBottomRightCorner) {
    controller.minimizeToBubble();

    EXPECT_THAT(bubbleLines(os.log.take()),
                ElementsAre("bubble.create content=1304,94,112,112 style=128", "bubble.setLevel 3",
                            "bubble.setCollectionBehavior 257", "bubble.setOpaque NO",
                            "bubble.setBackgroundColor 0,0,0,0", "bubble.setHasShadow YES",
                            "bubble.setMovableByWindowBackground YES", "button.create frame=0,0,112,112",
                            R"(button.setTitle "For Help\nSay \"Hi Orvia\"")", "button.setFont 15 heavy",
                            "button.setContentTintColor 1,1,1,1", "button.setBordered NO",
                            "button.setWantsLayer YES", "button.layer.setBackgroundColor 0.08,0.32,0.36,1",
                            "button.layer.setCornerRadius 56", "button.layer.setBorderWidth 4",
                            "button.layer.setBorderColor 0.96,0.68,0.08,1", "button.setTarget",
                            "button.setAction restoreFromBubble",
                            "button.setToolTip Drag to move. Click or say Hi Orvia to open chat.",
                            "bubble.setContentView", "bubble.orderFrontRegardless"));
    EXPECT_EQ(os.button()->title(), "For Help\nSay \"Hi Orvia\"");
    EXPECT_EQ(os.button()->target(), &controller);
    EXPECT_EQ(bubble().contentView(), os.button());
    EXPECT_TRUE(bubble().isVisible());
}

TEST(BubblePanelPlacement, CornerOfTheMainScreensWorkAreaOrOfA1440By900Screen) {
    struct Case {
        std::optional<platform::Rect> visibleFrame;
        platform::Rect expected;
    };
    const Case cases[] = {
        {platform::Rect{0, 70, 1440, 805}, {1304, 94, 112, 112}},
        {platform::Rect{-1920, 40, 1920, 1040}, {-136, 64, 112, 112}},
        {platform::Rect{100, 0, 800.5, 600}, {764.5, 24, 112, 112}},
        {std::nullopt, {1304, 24, 112, 112}},
    };
    for (const auto& [visibleFrame, expected] : cases) {
        fake::FakePlatform os;
        if (visibleFrame)
            os.screenList.setMainScreen(platform::Screen{*visibleFrame, *visibleFrame});
        else
            os.screenList.setMainScreen(std::nullopt);
        OrviaWindowController controller(os);
        controller.minimizeToBubble();
        EXPECT_EQ(os.window("bubble")->frame(), expected)
            << (visibleFrame ? platform::describe(*visibleFrame) : std::string("no main screen"));
    }
}

TEST_F(BubblePanel, LaterCollapsesShowTheSamePanelWhereTheUserLeftIt) {
    controller.minimizeToBubble();
    auto* first = &bubble();
    bubble().moveByUser({200, 300});
    controller.restoreFromBubble();
    os.screenList.setMainScreen(platform::Screen{{0, 0, 2560, 1440}, {0, 0, 2560, 1400}});
    os.log.take();

    controller.minimizeToBubble();
    controller.minimizeToBubble();

    auto lines = bubbleLines(os.log.take());
    EXPECT_THAT(lines, ElementsAre("bubble.orderFrontRegardless", "bubble.orderFrontRegardless"));
    EXPECT_EQ(&bubble(), first);
    EXPECT_EQ(bubble().frame(), (platform::Rect{200, 300, 112, 112}));
    EXPECT_TRUE(bubble().isVisible());
}

TEST_F(BubblePanel, ExpandOrdersTheBubbleOutFirst) {
    controller.showMainWindow(OrviaWindowController::Maximize::No);
    EXPECT_THAT(bubbleLines(os.log.take()), testing::IsEmpty()) << "no panel before the first collapse";

    controller.minimizeToBubble();
    os.log.take();
    controller.showMainWindow(OrviaWindowController::Maximize::No);

    auto lines = os.log.take();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "bubble.orderOut");
    EXPECT_FALSE(bubble().isVisible());
}

TEST_F(BubblePanel, AClickOnTheBubbleExpandsTheInterfaceThroughTheApplication) {
    window.setFrame({100, 200, 1000, 640}, true);
    controller.minimizeToBubble();
    os.log.take();

    os.button()->click({1360, 150});

    ASSERT_EQ(os.app.sentActions().size(), 1u);
    EXPECT_EQ(os.app.sentActions()[0].action, "restoreFromBubble");
    EXPECT_EQ(os.app.sentActions()[0].target, &controller);
    EXPECT_EQ(os.app.sentActions()[0].sender, os.button());
    EXPECT_FALSE(bubble().isVisible());
    EXPECT_EQ(window.frame(), fake::FakePlatform::defaultVisibleFrame);
    EXPECT_EQ(window.alpha(), 1.0);
    EXPECT_EQ(window.level(), platform::WindowLevel::Floating);
    EXPECT_TRUE(window.isKey());
}

TEST_F(BubblePanel, ADragMovesTheBubbleAndLeavesTheInterfaceCollapsed) {
    controller.minimizeToBubble();
    os.log.take();

    os.button()->mouseDown({1360, 150});
    os.button()->mouseDragged({1361, 150});
    bubble().moveByUser({600, 400});
    os.button()->mouseUp({656, 456});

    EXPECT_THAT(os.log.take(), ElementsAre("bubble.performWindowDragWithEvent 1361,150"));
    EXPECT_THAT(os.app.sentActions(), testing::IsEmpty());
    EXPECT_EQ(window.frame(), (platform::Rect{0, 70, 2, 2}));
    EXPECT_TRUE(bubble().isVisible());
}
