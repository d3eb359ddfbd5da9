#include "fake/FakePlatform.h"
#include "interface/OrviaWindowController.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

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

TEST_F(PageRecovery, ADeadPageIsLoadedAgainAsAtLaunchAndOnlyAFreshPageOfAKioskStillCollapsedIsPaused) {
    EXPECT_THAT(web().configuration().readableFolders, ElementsAre(os.bundle.resources().parent_path()));
    controller->showMainWindow(OrviaWindowController::Maximize::No);
    const auto frame = window().frame();

    EXPECT_THAT(crashAndSettle(), ElementsAre(launchLoad));
    web().finishLoading();
    EXPECT_THAT(os.log.take(), IsEmpty()) << "an expanded page runs on";
    EXPECT_EQ(window().frame(), frame);
    EXPECT_TRUE(window().isKey());
    EXPECT_TRUE(web().hasWebContentProcess());

    controller->minimizeToBubble();
    EXPECT_THAT(crashAndSettle(), ElementsAre(launchLoad)) << "nothing is paused before the page is there";
    web().finishLoading();
    EXPECT_THAT(os.log.take(), ElementsAre(pauseLine));
    web().finishLoading();
    EXPECT_THAT(os.log.take(), IsEmpty()) << "only the recovery's own load is paused";
    EXPECT_EQ(window().frame(), (platform::Rect{0, 70, 2, 2}));
    controller->showMainWindow(OrviaWindowController::Maximize::No);
    EXPECT_EQ(window().frame(), frame) << "the expanded frame is still known";

    // A page expanded before its reload finishes is not paused.
    controller->minimizeToBubble();
    crashAndSettle();
    controller->showMainWindow(OrviaWindowController::Maximize::Yes);
    os.log.take();
    web().finishLoading();
    EXPECT_THAT(os.log.take(), IsEmpty());
}

TEST_F(PageRecovery, APageSilentForTheHangLimitIsEndedAndLoadedAgainUnlessItAnswersOrDiesBefore) {
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

    web().finishLoading();
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

TEST_F(PageRecovery, APageOverItsMemoryIsLoadedAgainAtOnceOverTheCeilingElseOnceQuietWhichACollapseIs) {
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

    // Collapsed, nobody uses it: above the budget it is loaded again once the new process had its time.
    controller->minimizeToBubble();
    os.log.take();
    web().setWebContentProcessMemory(limits.budget + 1);
    os.queue.advance(orvia::MemoryGuardPolicy::releaseGrace - reading);
    EXPECT_THAT(os.log.take(), IsEmpty()) << "the new process gets the engine's time of its own";
    os.queue.advance(2 * reading);
    EXPECT_THAT(os.log.take(), ElementsAre("web.terminateWebContentProcess", launchLoad));
}

TEST_F(PageRecovery, NoReloadOutlivesTheController) {
    web().crashWebContentProcess();
    web().setWebContentProcessResponsive(false);
    controller.reset();
    os.log.take();

    os.queue.advance(std::chrono::seconds(60));

    EXPECT_THAT(os.log.take(), IsEmpty());
}

TEST(PageRecoveryPolicy, DelaysFollowTheBoundAndRecoveryResetsThem) {
    // Events on the policy's clock, in seconds: "t5" the page's process ended at 5 and is loaded again
    // at once, "t5c" after the calm retry's delay; "f5" a load finished at 5.
    const std::pair<const char*, const char*> cases[] = {
        {"five at once, then calm for as long as the page keeps dying", "t0 t1 t2 t3 t4 t5c t35c t65c t500c"},
        {"deaths spread wider than the window stay immediate", "t0 t20 t40 t60 t80 t100 t120"},
        {"a reload leaves the window exactly sixty seconds later", "t0 t1 t2 t3 t4 t60 t60.5c"},
        {"a page that finished loading but died at once has not recovered", "t0 t1 t2 t3 t4 f5 t14.9c"},
        {"a page that stayed up resets the count, once", "t0 t1 t2 t3 t4 t5c f40 t50 t51 t52 t53 t54 t55c"},
        {"a long-lived page that dies now and then always comes back at once",
         "f0 t3600 f3601 t7200 f7201 t7211"},
    };
    for (const auto& [name, events] : cases) {
        PageRecoveryPolicy policy;
        std::istringstream in(events);
        for (std::string event; in >> event;) {
            const bool calm = event.back() == 'c';
            const PageRecoveryPolicy::Seconds at{std::stod(event.substr(1))};
            if (event[0] == 'f')
                policy.didFinishLoad(at);
            else
                EXPECT_EQ(policy.reloadDelayAfterTermination(at),
                          calm ? PageRecoveryPolicy::calmRetryDelay : PageRecoveryPolicy::Seconds(0))
                    << name << ": " << event;
        }
    }
}
