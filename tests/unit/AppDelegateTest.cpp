#include "app/AppDelegate.h"
#include "app/AdministratorAuthCommand.h"
#include "fake/FakePlatform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using platform::ModifierFlags::Command;
using platform::ModifierFlags::Option;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

constexpr platform::Rect collapsed{0, 70, 2, 2};

// The application delegate installed on a fresh recording platform, ready to launch.
class Application : public testing::Test {
protected:
    Application() : delegate(std::make_shared<orvia::AppDelegate>(os)) { os.app.setDelegate(delegate); }

    // Finishes launching and forgets what the launch logged.
    void launch() {
        os.app.finishLaunching();
        os.log.take();
    }

    fake::FakeWindow& interface() { return *os.window("interface"); }

    void expectExpandedAt(const platform::Rect& frame) {
        EXPECT_EQ(interface().frame(), frame);
        EXPECT_EQ(interface().alpha(), 1.0);
        EXPECT_TRUE(interface().isKey());
    }

    fake::FakePlatform os;
    std::shared_ptr<orvia::AppDelegate> delegate;
};

using AppDelegateTest = Application;
using ApplicationMenu = Application;
using AdministratorExit = Application;

} // namespace

TEST_F(AppDelegateTest, LaunchHoldsAnActivityThatKeepsTheDisplayAwakeAndShowsTheInterface) {
    os.app.finishLaunching();

    EXPECT_THAT(os.log.linesStartingWith("process.beginActivity"),
                ElementsAre("process.beginActivity #1 options=0x10000ffffff reason=Keep the Orvia public "
                            "assistant ready for voice requests"));
    EXPECT_EQ(os.process.activeCount(), 1);
    expectExpandedAt(fake::FakePlatform::defaultVisibleFrame);
    EXPECT_EQ(os.log.lines().back(), "web.eval window.orviaResume && window.orviaResume()");
}

TEST_F(AppDelegateTest, BeforeLaunchAQuitIsRefusedAReopenAnsweredAndShowOrviaDoesNothing) {
    os.log.take();
    EXPECT_EQ(os.app.requestQuit(), platform::TerminateReply::Cancel);
    EXPECT_TRUE(os.app.reopen(false));
    EXPECT_TRUE(delegate->tryToPerform("showOrvia", nullptr));
    EXPECT_THAT(os.log.take(), IsEmpty());
}

TEST_F(AppDelegateTest, EveryQuitRequestCollapsesAndIsRefusedAndAReopenShowsTheSavedFrame) {
    launch();
    interface().setFrame({40, 90, 1000, 700}, true);
    EXPECT_EQ(os.app.requestQuit(), platform::TerminateReply::Cancel);
    EXPECT_EQ(interface().frame(), collapsed);
    os.app.terminate();
    EXPECT_EQ(os.log.linesStartingWith("web.eval window.orviaPause").size(), 2u);
    EXPECT_FALSE(os.app.hasTerminated());
    EXPECT_EQ(os.process.activeCount(), 1);

    for (bool hasVisibleWindows : {true, false}) {
        EXPECT_TRUE(os.app.reopen(hasVisibleWindows));
        expectExpandedAt({40, 90, 1000, 700});
    }
}

TEST_F(ApplicationMenu, OneUntitledMenuWithTheThreeCommandsAndNoQuitEachPerformedByTheDelegate) {
    launch();
    EXPECT_THAT(
        os.app.mainMenuDescription(),
        ElementsAre(
            R"(item title="" key="" mask=0x100000 action= target=none submenu title="")",
            R"(  item title="Show Orvia" key="n" mask=0x100000 action=showOrvia target=none)",
            R"(  item title="Check for Updates..." key="" mask=0x100000 action=checkForUpdatesFromMenu target=none)",
            "  separator",
            R"(  item title="Administrator Exit..." key="q" mask=0x180000 action=administratorExit target=none)"));

    os.launcher.outcome = 1;
    for (const auto& item : os.app.mainMenu().items.at(0).submenu->items)
        if (!item.isSeparator)
            EXPECT_TRUE(delegate->tryToPerform(item.action, nullptr)) << item.action;
    for (const char* unknown : {"terminate", "", "showOrvia:"})
        EXPECT_FALSE(delegate->tryToPerform(unknown, nullptr)) << unknown;
}

// Only Command-Option-Q asks for the authentication, and only its status 0 ends the kiosk, without a
// collapse on the way out; every other outcome leaves it running and a later attempt can still succeed.
TEST_F(AdministratorExit, OnlyCommandOptionQAsksAndOnlyStatusZeroEndsTheKioskEndingTheActivityOnce) {
    launch();
    std::string authLine = "process.run";
    for (auto argument : orvia::administratorAuthCommand)
        authLine += " " + std::string(argument);
    os.launcher.outcome = 1;
    for (std::uint64_t modifiers : {std::uint64_t{0}, Command, Option, Command | Option})
        EXPECT_EQ(os.app.pressKeyEquivalent("q", modifiers), modifiers == (Command | Option)) << modifiers;
    EXPECT_THAT(os.log.linesStartingWith("process.run"), ElementsAre(authLine + " status=1"));
    os.log.take();

    for (auto outcome : {std::optional(126), std::optional(127), std::optional(128 + 15), std::optional(-1),
                         std::optional<int>()}) {
        os.launcher.outcome = outcome;
        delegate->administratorExit();
        if (outcome)
            EXPECT_THAT(os.log.take(), ElementsAre(authLine + " status=" + std::to_string(*outcome)));
        else
            EXPECT_THAT(os.log.take(), ElementsAre(authLine + " failed", "app.beep"));
        EXPECT_EQ(os.app.requestQuit(), platform::TerminateReply::Cancel) << "the gate stays closed";
        os.log.take();
    }

    os.app.reopen(true);
    os.log.take();
    os.launcher.outcome = 0;
    delegate->administratorExit();
    EXPECT_THAT(os.log.take(),
                ElementsAre(authLine + " status=0", "app.terminate", "process.endActivity #1", "app.exit"));
    EXPECT_TRUE(os.app.hasTerminated());
    EXPECT_EQ(os.process.activeCount(), 0);
    EXPECT_EQ(interface().frame(), fake::FakePlatform::defaultVisibleFrame) << "no collapse on the way out";
}
