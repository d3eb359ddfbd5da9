#include "app/AdministratorAuthCommand.h"
#include "app/AppDelegate.h"
#include "fake/FakePlatform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using platform::ModifierFlags::Command;
using platform::ModifierFlags::Option;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

// The application delegate installed on a fresh recording platform, ready to launch.
class Application : public testing::Test {
protected:
    Application() : delegate(std::make_shared<orvia::AppDelegate>(os)) { os.app.setDelegate(delegate); }

    // Finishes launching and forgets what the launch logged.
    void launch() {
        os.app.finishLaunching();
        os.log.take();
    }

    static std::string authLine(const std::string& outcome) {
        std::string line = "process.run";
        for (auto argument : orvia::administratorAuthCommand)
            line += " " + std::string(argument);
        return line + " " + outcome;
    }

    fake::FakePlatform os;
    std::shared_ptr<orvia::AppDelegate> delegate;
};

class AppDelegateTest : public Application {};
class ApplicationMenu : public Application {};
class AdministratorExit : public Application {
protected:
    AdministratorExit() { launch(); }
};

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

TEST_F(ApplicationMenu, OneUntitledMenuWithTheThreeCommandsAndNoQuit) {
    launch();
    EXPECT_THAT(
        os.app.mainMenuDescription(),
        ElementsAre(
            R"(item title="" key="" mask=0x100000 action= target=none submenu title="")",
            R"(  item title="Show Orvia" key="n" mask=0x100000 action=showOrvia target=none)",
            R"(  item title="Check for Updates..." key="" mask=0x100000 action=checkForUpdatesFromMenu target=none)",
            "  separator",
            R"(  item title="Administrator Exit..." key="q" mask=0x180000 action=administratorExit target=none)"));
    EXPECT_EQ(os.log.linesStartingWith("app.setMainMenu").size(), 1u);
}

TEST_F(ApplicationMenu, ShowOrviaByKeyOrFromTheMenuBringsTheInterfaceBackFromTheBubble) {
    launch();
    for (auto show : {+[](fake::FakeApplication& app) { return app.pressKeyEquivalent("n", Command); },
                      +[](fake::FakeApplication& app) { return app.chooseMenuItem("Show Orvia"); }}) {
        os.app.requestQuit();
        ASSERT_EQ(os.window("interface")->frame(), (platform::Rect{0, 70, 2, 2}));

        EXPECT_TRUE(show(os.app));
        EXPECT_EQ(os.window("interface")->frame(), fake::FakePlatform::defaultVisibleFrame);
        EXPECT_EQ(os.window("interface")->alpha(), 1.0);
        EXPECT_TRUE(os.window("interface")->isKey());
    }
}

TEST_F(ApplicationMenu, ShowOrviaBeforeThereIsAControllerDoesNothing) {
    os.log.take();
    EXPECT_TRUE(delegate->tryToPerform("showOrvia", nullptr));
    EXPECT_THAT(os.log.take(), IsEmpty());
    EXPECT_EQ(os.window("interface"), nullptr);
}

TEST_F(ApplicationMenu, PlainCommandQIsAnsweredByNoItemAndQuitsNothing) {
    launch();
    for (std::uint64_t modifiers : {std::uint64_t{0}, Command, Option}) {
        EXPECT_FALSE(os.app.pressKeyEquivalent("q", modifiers)) << modifiers;
    }
    EXPECT_THAT(os.log.take(), IsEmpty());
    EXPECT_FALSE(os.app.hasTerminated());
}

TEST_F(ApplicationMenu, CommandOptionQStartsTheAdministratorExit) {
    launch();
    os.launcher.outcome = 1;
    EXPECT_TRUE(os.app.pressKeyEquivalent("q", Command | Option));
    EXPECT_EQ(os.log.linesStartingWith("process.run").size(), 1u);
}

TEST_F(ApplicationMenu, CheckForUpdatesAsksTheServerEachTimeAndSaysWhenUpToDate) {
    launch();
    for (std::size_t choice = 0; choice < 2; ++choice) {
        EXPECT_TRUE(os.app.chooseMenuItem("Check for Updates..."));
        ASSERT_EQ(os.network.requestCount(), choice + 1);
        os.network.complete(
            choice, R"({"macOS": {"version": "1.3.2", "downloadURL": "https://orvia.ai/d", "notes": ""}})");
        os.queue.drain();
        EXPECT_THAT(os.log.linesStartingWith("alert.runModal message=\"Orvia Desktop is up to date\""),
                    testing::SizeIs(choice + 1));
    }
}

TEST_F(ApplicationMenu, EveryItemsActionIsOneTheDelegatePerforms) {
    launch();
    os.launcher.outcome = 1;
    const auto& applicationMenu = *os.app.mainMenu().items.at(0).submenu;
    for (const auto& item : applicationMenu.items) {
        if (item.isSeparator)
            continue;
        EXPECT_TRUE(delegate->tryToPerform(item.action, nullptr)) << item.action;
    }
}

TEST_F(ApplicationMenu, TheDelegateAnswersOnlyActionsItHas) {
    EXPECT_FALSE(delegate->tryToPerform("terminate", nullptr));
    EXPECT_FALSE(delegate->tryToPerform("", nullptr));
    EXPECT_FALSE(delegate->tryToPerform("showOrvia:", nullptr));
}

TEST_F(AdministratorExit, StatusZeroOpensTheGateAndTheApplicationTerminatesEndingTheActivityOnce) {
    os.launcher.outcome = 0;
    delegate->administratorExit();

    EXPECT_THAT(os.log.take(),
                ElementsAre(authLine("status=0"), "app.terminate", "process.endActivity #1", "app.exit"));
    EXPECT_TRUE(os.app.hasTerminated());
    EXPECT_EQ(os.process.activeCount(), 0);
    EXPECT_EQ(os.window("interface")->frame(), fake::FakePlatform::defaultVisibleFrame)
        << "no collapse on the way out";
}

TEST_F(AdministratorExit, AnyOtherStatusDoesNothingAndALaterAttemptCanStillSucceed) {
    for (int status : {1, 126, 127, 128 + 15, -1}) {
        os.launcher.outcome = status;
        delegate->administratorExit();
        EXPECT_THAT(os.log.take(), ElementsAre(authLine("status=" + std::to_string(status))));
        EXPECT_FALSE(os.app.hasTerminated());
    }
    EXPECT_EQ(os.app.requestQuit(), platform::TerminateReply::Cancel) << "the gate stays closed";

    os.launcher.outcome = 0;
    delegate->administratorExit();
    EXPECT_TRUE(os.app.hasTerminated());
    EXPECT_EQ(os.log.linesStartingWith("process.endActivity").size(), 1u);
}

TEST_F(AdministratorExit, AProgramThatCannotStartOnlyBeeps) {
    os.launcher.outcome = std::nullopt;
    delegate->administratorExit();

    EXPECT_THAT(os.log.take(), ElementsAre(authLine("failed"), "app.beep"));
    EXPECT_FALSE(os.app.hasTerminated());
    EXPECT_EQ(os.app.requestQuit(), platform::TerminateReply::Cancel);
}
