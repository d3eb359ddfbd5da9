#include "LaunchableApplication.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::ElementsAre;

namespace {

class AppDelegateTest : public LaunchableApplication {};

} // namespace

TEST_F(AppDelegateTest, LaunchBecomesRegularInstallsMenuAndLoginItemHoldsTheActivityThenShowsTheWindow) {
    os.log.take();
    os.app.finishLaunching();

    auto log = os.log.take();
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ(log[0], "app.setActivationPolicy 0");
    EXPECT_EQ(log[1], "app.setMainMenu");
    EXPECT_EQ(log[2], "loginItems.folder");
    EXPECT_EQ(log[3],
              "process.beginActivity #1 options=0x10000ffffff reason=Keep the Orvia public assistant ready "
              "for voice requests");
    auto created = std::find(log.begin(), log.end(), "interface.create content=0,0,1180,780 style=32781");
    auto shown = std::find(log.begin(), log.end(), "interface.makeKeyAndOrderFront");
    ASSERT_NE(created, log.end());
    ASSERT_NE(shown, log.end());
    EXPECT_LT(created, shown);
    EXPECT_EQ(log.back(), "web.eval window.orviaResume && window.orviaResume()");
    EXPECT_EQ(os.window("interface")->frame(), fake::FakePlatform::defaultVisibleFrame);
    EXPECT_EQ(os.process.activeCount(), 1);
}

TEST_F(AppDelegateTest, EveryQuitRequestCollapsesAndIsRefused) {
    launch();
    EXPECT_EQ(os.app.requestQuit(), platform::TerminateReply::Cancel);
    EXPECT_EQ(os.window("interface")->frame(), (platform::Rect{0, 70, 2, 2}));

    os.app.terminate();
    EXPECT_EQ(os.log.linesStartingWith("web.eval window.orviaPause").size(), 2u);
    EXPECT_FALSE(os.app.hasTerminated());
    EXPECT_EQ(os.process.activeCount(), 1);
    EXPECT_THAT(os.log.linesStartingWith("process.endActivity"), testing::IsEmpty());
}

TEST_F(AppDelegateTest, QuitRequestBeforeLaunchIsRefusedAndDoesNothingElse) {
    os.log.take();
    EXPECT_EQ(os.app.requestQuit(), platform::TerminateReply::Cancel);
    EXPECT_THAT(os.log.take(), testing::IsEmpty());
}

TEST_F(AppDelegateTest, ReopenShowsTheWindowAtItsSavedFrameAndAnswersYes) {
    launch();
    os.window("interface")->setFrame({40, 90, 1000, 700}, true);
    os.app.requestQuit();
    os.log.take();

    for (bool hasVisibleWindows : {true, false}) {
        EXPECT_TRUE(os.app.reopen(hasVisibleWindows));
        EXPECT_EQ(os.window("interface")->frame(), (platform::Rect{40, 90, 1000, 700}));
        EXPECT_EQ(os.window("interface")->alpha(), 1.0);
        EXPECT_TRUE(os.window("interface")->isKey());
    }
}

TEST_F(AppDelegateTest, ReopenBeforeLaunchStillAnswersYes) { EXPECT_TRUE(os.app.reopen(false)); }
