#include "fake/FakePlatform.h"
#include "interface/OrviaWindowController.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using orvia::OrviaWindowController;
using Maximize = OrviaWindowController::Maximize;
using testing::ElementsAre;

namespace {

class WindowModes : public testing::Test {
  protected:
    WindowModes() : controller(os), window(*os.window("interface")) { os.log.take(); }

    fake::FakePlatform os;
    OrviaWindowController controller;
    fake::FakeWindow& window;
};

} // namespace

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

TEST_F(WindowModes, BubbleClickAlwaysFillsTheVisibleFrame) {
    window.setFrame({100, 200, 1000, 640}, true);
    controller.minimizeToBubble();
    controller.restoreFromBubble();
    EXPECT_EQ(window.frame(), fake::FakePlatform::defaultVisibleFrame);
}
