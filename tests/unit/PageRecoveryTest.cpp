#include "fake/FakePlatform.h"
#include "interface/OrviaWindowController.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

using orvia::OrviaWindowController;
using orvia::PageRecoveryPolicy;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

constexpr const char* pauseLine = "web.eval window.orviaPause && window.orviaPause()";

class PageRecovery : public testing::Test {
protected:
    PageRecovery() {
        std::ofstream(os.bundle.resources() / "index.html") << "<p>kiosk</p>";
        controller.emplace(os);
        launchLoad = os.log.linesStartingWith("web.loadHTMLString").at(0);
        web().finishLoading();
    }

    fake::FakeWebView& web() { return *os.webView(); }
    fake::FakeWindow& window() { return *os.window("interface"); }

    // The page's process dies and the program has had its turn on the main queue.
    std::vector<std::string> crashAndSettle() {
        os.log.take();
        web().crashWebContentProcess();
        os.queue.drain();
        return os.log.take();
    }

    fake::FakePlatform os;
    std::optional<OrviaWindowController> controller;
    std::string launchLoad;
};

} // namespace

TEST_F(PageRecovery, ADeadPageIsLoadedAgainAsAtLaunchAndTheExpandedWindowIsLeftAlone) {
    controller->showMainWindow(OrviaWindowController::Maximize::No);
    const auto frame = window().frame();

    EXPECT_THAT(crashAndSettle(), ElementsAre(launchLoad));
    web().finishLoading();

    EXPECT_THAT(os.log.take(), IsEmpty()) << "an expanded page runs on";
    EXPECT_EQ(window().frame(), frame);
    EXPECT_TRUE(window().isKey());
    EXPECT_TRUE(web().hasWebContentProcess());
    auto& content =
        dynamic_cast<fake::FakeUserContentController&>(*web().configuration().userContentController);
    EXPECT_EQ(content.userScripts().size(), 1u) << "the bootstrap script serves the new page as it is";
    EXPECT_EQ(content.handler("orvia"), &*controller);
}

TEST_F(PageRecovery, ACollapsedKioskStaysCollapsedAndItsFreshPageIsPausedOnceLoaded) {
    controller->showMainWindow(OrviaWindowController::Maximize::No);
    controller->minimizeToBubble();

    EXPECT_THAT(crashAndSettle(), ElementsAre(launchLoad)) << "nothing is paused before the page is there";
    web().finishLoading();
    EXPECT_THAT(os.log.take(), ElementsAre(pauseLine));
    web().finishLoading();
    EXPECT_THAT(os.log.take(), IsEmpty()) << "only the recovery's own load is paused";

    EXPECT_EQ(window().frame(), (platform::Rect{0, 70, 2, 2}));
    controller->showMainWindow(OrviaWindowController::Maximize::No);
    EXPECT_EQ(window().frame(), fake::FakePlatform::defaultVisibleFrame)
        << "the expanded frame is still known";
}

TEST_F(PageRecovery, APageExpandedBeforeItsReloadFinishesIsNotPaused) {
    controller->minimizeToBubble();
    crashAndSettle();
    controller->showMainWindow(OrviaWindowController::Maximize::Yes);
    os.log.take();

    web().finishLoading();

    EXPECT_THAT(os.log.take(), IsEmpty());
}

TEST_F(PageRecovery, APageThatDiesAtEveryLoadIsReloadedFiveTimesThenEveryThirtySeconds) {
    for (int reload = 1; reload <= 5; ++reload)
        EXPECT_THAT(crashAndSettle(), ElementsAre(launchLoad)) << "reload " << reload;

    EXPECT_THAT(crashAndSettle(), IsEmpty());
    for (int retry = 1; retry <= 3; ++retry) {
        os.queue.advance(PageRecoveryPolicy::calmRetryDelay - std::chrono::milliseconds(10));
        EXPECT_THAT(os.log.take(), IsEmpty()) << "retry " << retry;
        os.queue.advance(std::chrono::milliseconds(20));
        EXPECT_THAT(os.log.take(), ElementsAre(launchLoad)) << "retry " << retry;
        web().crashWebContentProcess();
    }
    EXPECT_EQ(os.queue.pendingCount(), 2u) << "one retry at a time, beside the memory reading";
}

TEST_F(PageRecovery, APageThatStaysUpEarnsImmediateReloadsAgain) {
    for (int reload = 1; reload <= 5; ++reload)
        crashAndSettle();
    crashAndSettle();
    os.queue.advance(PageRecoveryPolicy::calmRetryDelay);
    web().finishLoading();
    os.queue.advance(PageRecoveryPolicy::stayedUpAfter);

    EXPECT_THAT(crashAndSettle(), ElementsAre(launchLoad));
}

TEST_F(PageRecovery, APageSilentForTheHangLimitIsEndedAndLoadedAgain) {
    controller->minimizeToBubble();
    os.log.take();
    web().setWebContentProcessResponsive(false);

    os.queue.advance(PageRecoveryPolicy::hangLimit - std::chrono::milliseconds(10));
    EXPECT_THAT(os.log.take(), IsEmpty());
    os.queue.advance(std::chrono::milliseconds(20));
    EXPECT_THAT(os.log.take(), ElementsAre("web.terminateWebContentProcess", launchLoad));
    web().finishLoading();
    EXPECT_THAT(os.log.take(), ElementsAre(pauseLine));
}

TEST_F(PageRecovery, APageThatAnswersAgainOrDiesBeforeTheHangLimitIsNotEnded) {
    web().setWebContentProcessResponsive(false);
    os.queue.advance(std::chrono::seconds(5));
    web().setWebContentProcessResponsive(true);
    os.queue.advance(std::chrono::seconds(5));
    web().setWebContentProcessResponsive(false);
    os.queue.advance(std::chrono::seconds(5));
    web().crashWebContentProcess();
    os.queue.advance(std::chrono::seconds(60));

    EXPECT_THAT(os.log.linesStartingWith("web.terminateWebContentProcess"), IsEmpty());
    EXPECT_THAT(os.log.linesStartingWith("web.loadHTMLString"), ElementsAre(launchLoad, launchLoad));
}

TEST_F(PageRecovery, APageOverItsMemoryIsLoadedAgainInItsModeAtOnceOverTheCeilingElseOnceQuiet) {
    const auto limits = web().configuration().memoryLimits.value();
    const auto reading = orvia::MemoryGuardPolicy::readingInterval;
    controller->showMainWindow(OrviaWindowController::Maximize::No);
    const auto frame = window().frame();
    os.log.take();

    web().setWebContentProcessMemory(limits.budget + 1);
    os.queue.advance(orvia::MemoryGuardPolicy::quietAfter / 2);
    EXPECT_THAT(os.log.take(), IsEmpty()) << "shown a while ago, the interface may still be in use";
    web().setWebContentProcessMemory(limits.ceiling + 1);
    os.queue.advance(reading);
    EXPECT_THAT(os.log.take(), ElementsAre("web.terminateWebContentProcess", launchLoad));
    web().finishLoading();
    EXPECT_THAT(os.log.take(), IsEmpty());
    EXPECT_EQ(window().frame(), frame);

    controller->minimizeToBubble();
    os.log.take();
    web().setWebContentProcessMemory(limits.budget + 1);
    os.queue.advance(orvia::MemoryGuardPolicy::releaseGrace - reading);
    EXPECT_THAT(os.log.take(), IsEmpty()) << "the new process gets the engine's time of its own";
    os.queue.advance(2 * reading);
    EXPECT_THAT(os.log.take(), ElementsAre("web.terminateWebContentProcess", launchLoad));
    web().finishLoading();
    EXPECT_THAT(os.log.take(), ElementsAre(pauseLine));
}

TEST_F(PageRecovery, NoReloadOutlivesTheController) {
    web().crashWebContentProcess();
    web().setWebContentProcessResponsive(false);
    controller.reset();
    os.log.take();

    os.queue.advance(std::chrono::seconds(60));

    EXPECT_THAT(os.log.take(), IsEmpty());
}

TEST_F(PageRecovery, ThePageMayReadItsResourceBundleOnly) {
    EXPECT_THAT(web().configuration().readableFolders, ElementsAre(os.bundle.resources().parent_path()));
}
