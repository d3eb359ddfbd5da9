#include "fake/FakePlatform.h"
#include "interface/OrviaWindowController.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using orvia::OrviaWindowController;
using Maximize = OrviaWindowController::Maximize;
using platform::WindowLevel;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

constexpr platform::Rect collapsed{0, 70, 2, 2};
constexpr platform::Rect userFrame{100, 200, 1000, 640};
const platform::Rect visible = fake::FakePlatform::defaultVisibleFrame;

// The interface window's controller on a fresh recording platform, its creation forgotten.
class Interface : public testing::Test {
protected:
    Interface() : controller(os), window(*os.window("interface")) { os.log.take(); }

    fake::FakeWindow& bubble() { return *os.window("bubble"); }

    fake::FakePlatform os;
    OrviaWindowController controller;
    fake::FakeWindow& window;
};

using WindowModes = Interface;
using BubblePanel = Interface;

} // namespace

TEST(InterfaceWindow, CreationGivesThePageItsIdentityAndTheControllerItsMessagesWithoutShowingTheWindow) {
    fake::FakePlatform os;
    os.defaults.setObject("OrviaDesktopGuestMemberID", "orvia-kiosk-'1234'");
    OrviaWindowController controller(os);

    EXPECT_THAT(os.log.linesStartingWith("content.addUserScript"),
                ElementsAre("content.addUserScript start mainFrameOnly=YES window.ORVIA_MEMBER_ID = "
                            "'orvia-kiosk-\\'1234\\''; window.ORVIA_KIOSK = true;"));
    EXPECT_EQ(os.window("interface")->contentView(), os.webView());
    EXPECT_FALSE(os.window("interface")->isVisible()) << "creation must not put the window on screen";
    // The placeholder that held the handler's name has handed it over: the first message collapses.
    EXPECT_TRUE(os.webView()->post("orvia", {{"type", "minimize"}}));
    EXPECT_EQ(os.window("interface")->frame(), collapsed);
}

TEST(InterfaceWindow, WithoutAMainScreenTheWindowIsCentredAndOnlyAPlainExpandMovesIt) {
    fake::FakePlatform os;
    os.screenList.setMainScreen(std::nullopt);
    OrviaWindowController controller(os);
    auto& window = *os.window("interface");
    EXPECT_THAT(os.log.linesStartingWith("interface.center"), testing::SizeIs(1));
    EXPECT_EQ(window.frame(), (platform::Rect{0, 0, 1180, 780}));

    window.setFrame(userFrame, true);
    controller.minimizeToBubble();
    EXPECT_EQ(window.alpha(), 0.01);
    controller.showMainWindow(Maximize::Yes);
    EXPECT_TRUE(window.isKey());
    controller.showMainWindow(Maximize::No);
    // The test's own move, then the plain expand to the saved frame: collapse and maximise need the screen.
    EXPECT_THAT(os.log.linesStartingWith("interface.setFrame"),
                ElementsAre("interface.setFrame 100,200,1000,640 display=YES",
                            "interface.setFrame 100,200,1000,640 display=YES"));
}

TEST_F(WindowModes, CollapseLeavesAPausedClickThroughCornerBelowOtherWindowsAndExpandUndoesIt) {
    controller.minimizeToBubble();
    EXPECT_EQ(window.frame(), collapsed);
    EXPECT_EQ(window.alpha(), 0.01);
    EXPECT_TRUE(window.ignoresMouseEvents());
    EXPECT_EQ(window.level(), WindowLevel::Normal);
    EXPECT_TRUE(window.isVisible()) << "the collapsed window stays ordered in";
    EXPECT_TRUE(bubble().isVisible());
    EXPECT_EQ(os.log.lines().back(), "bubble.orderFrontRegardless") << "the bubble is shown last";

    controller.showMainWindow(Maximize::Yes);
    EXPECT_EQ(window.frame(), visible);
    EXPECT_EQ(window.alpha(), 1.0);
    EXPECT_FALSE(window.ignoresMouseEvents());
    EXPECT_EQ(window.level(), WindowLevel::Floating);
    EXPECT_TRUE(window.isKey());
    EXPECT_FALSE(bubble().isVisible());
    EXPECT_THAT(os.log.linesStartingWith("web.eval"),
                ElementsAre("web.eval window.orviaPause && window.orviaPause()",
                            "web.eval window.orviaResume && window.orviaResume()"));
}

// A plain expand brings back the frame the user had before the last collapse from an expanded
// window (wider than 100 points), and otherwise fills the work area.
TEST(WindowModesFrames, APlainExpandBringsBackTheFrameFromBeforeTheCollapse) {
    struct Case {
        const char* steps; // 'c' collapse, 'm' maximised expand, 'e' plain expand
        platform::Rect before;
        platform::Rect expected;
    };
    const Case cases[] = {
        {"e", {5, 5, 950, 650}, visible},
        {"ce", userFrame, userFrame},
        {"cce", userFrame, userFrame},
        {"cme", userFrame, userFrame},
        {"cmce", userFrame, visible},
        {"ce", {10, 80, 100, 700}, visible},
        {"ce", {10, 80, 100.5, 700}, {10, 80, 100.5, 700}},
    };
    for (const auto& [steps, before, expected] : cases) {
        fake::FakePlatform os;
        OrviaWindowController controller(os);
        os.window("interface")->setFrame(before, true);
        for (char step : std::string_view(steps)) {
            if (step == 'c')
                controller.minimizeToBubble();
            else
                controller.showMainWindow(step == 'm' ? Maximize::Yes : Maximize::No);
        }
        EXPECT_EQ(os.window("interface")->frame(), expected)
            << steps << " from " << platform::describe(before);
    }
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
        os.screenList.setMainScreen(
            visibleFrame ? std::optional(platform::Screen{*visibleFrame, *visibleFrame}) : std::nullopt);
        OrviaWindowController controller(os);
        controller.minimizeToBubble();
        EXPECT_EQ(os.window("bubble")->frame(), expected)
            << (visibleFrame ? platform::describe(*visibleFrame) : std::string("no main screen"));
    }
}

TEST_F(BubblePanel, AClickOnTheHelpBubbleExpandsTheInterfaceThroughTheApplication) {
    window.setFrame(userFrame, true);
    controller.minimizeToBubble();
    EXPECT_EQ(os.button()->title(), "For Help\nSay \"Hi Orvia\"");
    EXPECT_EQ(bubble().contentView(), os.button());

    os.button()->click({1360, 150});

    ASSERT_EQ(os.app.sentActions().size(), 1u);
    EXPECT_EQ(os.app.sentActions()[0].action, "restoreFromBubble");
    EXPECT_EQ(os.app.sentActions()[0].target, &controller);
    EXPECT_EQ(os.app.sentActions()[0].sender, os.button());
    EXPECT_FALSE(bubble().isVisible());
    EXPECT_EQ(window.frame(), visible);
    EXPECT_TRUE(window.isKey());
}

TEST_F(BubblePanel, ADragMovesTheBubbleWithoutExpandingAndLaterCollapsesShowTheSamePanelThere) {
    controller.minimizeToBubble();
    auto* first = &bubble();
    os.log.take();
    os.button()->mouseDown({1360, 150});
    os.button()->mouseDragged({1361, 150});
    bubble().moveByUser({200, 300});
    os.button()->mouseUp({256, 356});
    EXPECT_THAT(os.log.take(), ElementsAre("bubble.performWindowDragWithEvent 1361,150"));
    EXPECT_THAT(os.app.sentActions(), IsEmpty());
    EXPECT_EQ(window.frame(), collapsed);

    controller.restoreFromBubble();
    os.screenList.setMainScreen(platform::Screen{{0, 0, 2560, 1440}, {0, 0, 2560, 1400}});
    controller.minimizeToBubble();
    controller.minimizeToBubble();
    EXPECT_EQ(&bubble(), first);
    EXPECT_EQ(os.log.linesStartingWith("bubble.create").size(), 1u);
    EXPECT_EQ(bubble().frame(), (platform::Rect{200, 300, 112, 112}));
    EXPECT_TRUE(bubble().isVisible());
}
