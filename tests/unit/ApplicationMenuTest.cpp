#include "LaunchableApplication.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using platform::ModifierFlags::Command;
using platform::ModifierFlags::Option;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

class ApplicationMenu : public LaunchableApplication {};

} // namespace

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
