#include "fake/FakePlatform.h"
#include "interface/OrviaWindowController.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using orvia::OrviaWindowController;
using testing::ElementsAre;

namespace {

std::vector<std::string> bubbleLines(const std::vector<std::string>& lines) {
    std::vector<std::string> bubble;
    for (const auto& line : lines)
        if (line.starts_with("bubble.") || line.starts_with("button."))
            bubble.push_back(line);
    return bubble;
}

class BubblePanel : public testing::Test {
  protected:
    BubblePanel() : controller(os), window(*os.window("interface")) { os.log.take(); }

    fake::FakeWindow& bubble() { return *os.window("bubble"); }

    fake::FakePlatform os;
    OrviaWindowController controller;
    fake::FakeWindow& window;
};

} // namespace

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
