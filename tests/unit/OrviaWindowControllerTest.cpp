#include "interface/OrviaWindowController.h"
#include "TemporaryFolder.h"
#include "fake/FakePlatform.h"
#include "interface/BootstrapScript.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <regex>
#include <set>

using orvia::OrviaWindowController;
using Maximize = OrviaWindowController::Maximize;
using platform::MediaCaptureType;
using platform::NavigationResponse;
using platform::NavigationResponsePolicy;
using platform::PermissionDecision;
using platform::WindowLevel;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

constexpr platform::Rect collapsed{0, 70, 2, 2};
constexpr platform::Rect userFrame{100, 200, 1000, 640};
const platform::Rect visible = fake::FakePlatform::defaultVisibleFrame;
constexpr const char* pauseLine = "web.eval window.orviaPause && window.orviaPause()";

// The interface window's controller on a fresh recording platform, its page loaded and its creation
// forgotten.
class Interface : public testing::Test {
protected:
    Interface() {
        writeFile(os.bundle.resources() / "index.html", "<p>kiosk</p>");
        controller.emplace(os);
        launchLoad = os.log.linesStartingWith("web.loadHTMLString").at(0);
        web().finishLoading();
        os.log.take();
    }

    fake::FakeWebView& web() { return *os.webView(); }
    fake::FakeWindow& window() { return *os.window("interface"); }
    fake::FakeWindow& bubble() { return *os.window("bubble"); }

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

using WindowModes = Interface;
using BubblePanel = Interface;
using PageRecovery = Interface;
using InterfaceLoading = Interface;

} // namespace

// The page learns a stored non-empty member identifier as it is, or else a new random one that is
// stored for the next launch.
TEST(InterfaceWindow, CreationGivesThePageItsIdentityAndTheControllerItsMessagesWithoutShowingTheWindow) {
    const std::regex made("orvia-kiosk-[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
    const std::optional<nlohmann::json> stored[] = {
        "orvia-kiosk-'1234'",         "it's \"ours\"\n", std::nullopt, "", 42, true,
        nlohmann::json::array({"a"}), nullptr,
    };
    std::set<std::string> identifiers;
    for (const auto& value : stored) {
        fake::FakePlatform os;
        if (value)
            os.defaults.setObject(OrviaWindowController::memberIDKey, *value);
        OrviaWindowController controller(os);
        const auto identifier = os.defaults.stringForKey(OrviaWindowController::memberIDKey).value_or("");
        if (value && value->is_string() && !value->get<std::string>().empty())
            EXPECT_EQ(identifier, *value);
        else
            EXPECT_TRUE(std::regex_match(identifier, made)) << identifier;
        identifiers.insert(identifier);
        EXPECT_THAT(os.log.linesStartingWith("content.addUserScript"),
                    ElementsAre("content.addUserScript start mainFrameOnly=YES window.ORVIA_MEMBER_ID = '" +
                                orvia::escapedForSingleQuotedJavaScript(identifier) +
                                "'; window.ORVIA_KIOSK = true;"));

        EXPECT_FALSE(os.window("interface")->isVisible()) << "creation must not put the window on screen";
        EXPECT_TRUE(os.log.lines().back().starts_with("web.loadHTMLString")) << "the page loads last";
        // The placeholder that held the handler's name has handed it over: the first message collapses.
        EXPECT_TRUE(os.webView()->post("orvia", {{"type", "minimize"}}));
        EXPECT_EQ(os.window("interface")->frame(), collapsed);
    }
    EXPECT_EQ(identifiers.size(), std::size(stored)) << "every installation makes its own identifier";
}

// A load shows what is on disk now: the face token becomes the image's data URL wherever it stands, and
// HTML that cannot be had gives the fallback page without a base.
TEST_F(InterfaceLoading, TheFaceTokenBecomesTheImageDataURLAndHtmlThatCannotBeHadTheFallbackPage) {
    const auto resources = os.bundle.resources();
    const auto load = [&] {
        controller->loadInterface();
        return web().loadedHTML();
    };
    // Base64 in the standard alphabet, padded, without line breaks.
    writeFile(resources / "orvia-default.webp",
              std::string("\xfb\xff\xbf", 3) + std::string(60, '\0') + "fo");
    const std::string dataURL = "data:image/webp;base64,+/+/" + std::string(80, 'A') + "Zm8=";
    const std::pair<std::string, std::string> cases[] = {
        {"<img src=\"ORVIA_DEFAULT_FACE_DATA\">", "<img src=\"" + dataURL + "\">"},
        {"ORVIA_DEFAULT_FACE_DATAORVIA_DEFAULT_FACE_DATA_DATA", dataURL + dataURL + "_DATA"},
        {"orvia_default_face_data ORVIA_DEFAULT_FACE_DAT", "orvia_default_face_data ORVIA_DEFAULT_FACE_DAT"},
    };
    for (const auto& [html, loaded] : cases) {
        writeFile(resources / "index.html", html);
        EXPECT_EQ(load(), loaded) << html;
        EXPECT_EQ(web().baseURL(), "file://" + resources.string() + "/");
    }

    // An empty image gives the prefix alone, a missing one leaves the token.
    const std::string html = "<img src=\"ORVIA_DEFAULT_FACE_DATA\">";
    writeFile(resources / "index.html", html);
    writeFile(resources / "orvia-default.webp", "");
    EXPECT_EQ(load(), "<img src=\"data:image/webp;base64,\">");
    std::filesystem::remove(resources / "orvia-default.webp");
    EXPECT_EQ(load(), html);

    const auto index = resources / "index.html";
    const std::pair<std::string, std::function<void()>> unavailable[] = {
        {"missing", [] {}},
        {"latin-1", [&] { writeFile(index, "<p>caf\xe9</p>"); }},
        {"a directory", [&] { std::filesystem::create_directory(index); }},
        {"a FIFO without a writer", [&] { ::mkfifo(index.c_str(), 0644); }},
    };
    for (const auto& [what, arrange] : unavailable) {
        std::filesystem::remove_all(index);
        arrange();
        EXPECT_EQ(load(), "<h1>Orvia interface is unavailable.</h1>") << what;
        EXPECT_EQ(web().baseURL(), std::nullopt) << what;
    }
}

TEST(InterfaceWindow,
     WithoutAMainScreenTheWindowIsCentredTheBubbleInA1440By900CornerAndOnlyAPlainExpandMoves) {
    fake::FakePlatform os;
    os.screenList.setMainScreen(std::nullopt);
    OrviaWindowController controller(os);
    auto& window = *os.window("interface");
    EXPECT_THAT(os.log.linesStartingWith("interface.center"), testing::SizeIs(1));
    EXPECT_EQ(window.frame(), (platform::Rect{0, 0, 1180, 780}));

    window.setFrame(userFrame, true);
    controller.minimizeToBubble();
    EXPECT_EQ(window.alpha(), 0.01);
    EXPECT_EQ(os.window("bubble")->frame(), (platform::Rect{1304, 24, 112, 112}))
        << "a 1440 x 900 screen's corner";
    controller.showMainWindow(Maximize::Yes);
    EXPECT_TRUE(window.isKey());
    controller.showMainWindow(Maximize::No);
    // The test's own move, then the plain expand to the saved frame: collapse and maximise need the screen.
    EXPECT_THAT(os.log.linesStartingWith("interface.setFrame"),
                ElementsAre("interface.setFrame 100,200,1000,640 display=YES",
                            "interface.setFrame 100,200,1000,640 display=YES"));
}

TEST_F(WindowModes, CollapseLeavesAPausedClickThroughCornerBelowOtherWindowsAndExpandUndoesIt) {
    controller->minimizeToBubble();
    EXPECT_EQ(window().frame(), collapsed);
    EXPECT_EQ(window().alpha(), 0.01);
    EXPECT_TRUE(window().ignoresMouseEvents());
    EXPECT_EQ(window().level(), WindowLevel::Normal);
    EXPECT_TRUE(window().isVisible()) << "the collapsed window stays ordered in";
    EXPECT_EQ(os.log.lines().back(), "bubble.orderFrontRegardless") << "the bubble is shown last";

    controller->showMainWindow(Maximize::Yes);
    EXPECT_EQ(window().frame(), visible);
    EXPECT_EQ(window().alpha(), 1.0);
    EXPECT_FALSE(window().ignoresMouseEvents());
    EXPECT_EQ(window().level(), WindowLevel::Floating);
    EXPECT_TRUE(window().isKey());
    EXPECT_FALSE(bubble().isVisible());
    EXPECT_THAT(os.log.linesStartingWith("web.eval"),
                ElementsAre(pauseLine, "web.eval window.orviaResume && window.orviaResume()"));
}

// A plain expand brings back the frame the user had before the last collapse from an expanded
// window (wider than 100 points), and otherwise fills the work area.
TEST(WindowModesFrames, APlainExpandBringsBackTheFrameFromBeforeTheCollapse) {
    // Steps: 'c' collapse, 'm' maximised expand, 'e' plain expand.
    const std::tuple<const char*, platform::Rect, platform::Rect> cases[] = {
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

TEST(BubblePanelPlacement, CornerOfTheMainScreensWorkArea) {
    const std::pair<platform::Rect, platform::Rect> cases[] = {
        {{0, 70, 1440, 805}, {1304, 94, 112, 112}},
        {{-1920, 40, 1920, 1040}, {-136, 64, 112, 112}},
        {{100, 0, 800.5, 600}, {764.5, 24, 112, 112}},
    };
    for (const auto& [visibleFrame, expected] : cases) {
        fake::FakePlatform os;
        os.screenList.setMainScreen(platform::Screen{visibleFrame, visibleFrame});
        OrviaWindowController controller(os);
        controller.minimizeToBubble();
        EXPECT_EQ(os.window("bubble")->frame(), expected) << platform::describe(visibleFrame);
    }
}

// A drag moves the bubble without expanding, the next plain click expands the interface through the
// application, and later collapses show the same panel where it was dragged.
TEST_F(BubblePanel, ADragMovesTheBubbleAClickExpandsTheInterfaceAndLaterCollapsesShowTheSamePanelThere) {
    window().setFrame(userFrame, true);
    controller->minimizeToBubble();
    auto* first = &bubble();
    EXPECT_EQ(os.button()->title(), "For Help\nSay \"Hi Orvia\"");
    os.log.take();
    os.button()->mouseDown({1360, 150});
    os.button()->mouseDragged({1361, 150});
    bubble().moveByUser({200, 300});
    os.button()->mouseUp({256, 356});
    EXPECT_THAT(os.log.take(), ElementsAre("bubble.performWindowDragWithEvent 1361,150"));
    EXPECT_THAT(os.app.sentActions(), IsEmpty());
    EXPECT_EQ(window().frame(), collapsed);

    os.button()->click({256, 356});
    ASSERT_EQ(os.app.sentActions().size(), 1u);
    EXPECT_EQ(os.app.sentActions()[0].action, "restoreFromBubble");
    EXPECT_EQ(os.app.sentActions()[0].target, &*controller);
    EXPECT_EQ(os.app.sentActions()[0].sender, os.button());
    EXPECT_FALSE(bubble().isVisible());
    EXPECT_EQ(window().frame(), visible);
    EXPECT_TRUE(window().isKey());

    os.screenList.setMainScreen(platform::Screen{{0, 0, 2560, 1440}, {0, 0, 2560, 1400}});
    controller->minimizeToBubble();
    controller->minimizeToBubble();
    EXPECT_EQ(&bubble(), first);
    EXPECT_EQ(os.log.linesStartingWith("bubble.create").size(), 1u);
    EXPECT_EQ(bubble().frame(), (platform::Rect{200, 300, 112, 112}));
    EXPECT_TRUE(bubble().isVisible());
}

TEST_F(PageRecovery, ADeadPageIsLoadedAgainAsAtLaunchAndOnlyAFreshPageOfAKioskStillCollapsedIsPaused) {
    EXPECT_THAT(web().configuration().readableFolders, ElementsAre(os.bundle.resources().parent_path()));
    controller->showMainWindow(Maximize::No);
    const auto frame = window().frame();

    EXPECT_THAT(crashAndSettle(), ElementsAre(launchLoad));
    web().finishLoading();
    EXPECT_THAT(os.log.take(), IsEmpty()) << "an expanded page runs on";
    EXPECT_EQ(window().frame(), frame);
    EXPECT_TRUE(window().isKey());

    controller->minimizeToBubble();
    EXPECT_THAT(crashAndSettle(), ElementsAre(launchLoad)) << "nothing is paused before the page is there";
    web().finishLoading();
    EXPECT_THAT(os.log.take(), ElementsAre(pauseLine));
    web().finishLoading();
    EXPECT_THAT(os.log.take(), IsEmpty()) << "only the recovery's own load is paused";
    EXPECT_EQ(window().frame(), collapsed);
    controller->showMainWindow(Maximize::No);
    EXPECT_EQ(window().frame(), frame) << "the expanded frame is still known";

    // A page expanded before its reload finishes is not paused.
    controller->minimizeToBubble();
    crashAndSettle();
    controller->showMainWindow(Maximize::Yes);
    os.log.take();
    web().finishLoading();
    EXPECT_THAT(os.log.take(), IsEmpty());
}

TEST_F(PageRecovery,
       APageSilentForTheHangLimitIsEndedAndLoadedAgainUnlessItAnswersOrDiesBeforeOrTheControllerIsGone) {
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
    os.queue.advance(orvia::PageRecoveryPolicy::hangLimit - std::chrono::milliseconds(10));
    EXPECT_THAT(os.log.take(), IsEmpty());
    os.queue.advance(std::chrono::milliseconds(20));
    EXPECT_THAT(os.log.take(), ElementsAre("web.terminateWebContentProcess", launchLoad));
    web().finishLoading();
    EXPECT_THAT(os.log.take(), ElementsAre(pauseLine));

    // No reload outlives the controller.
    web().crashWebContentProcess();
    web().setWebContentProcessResponsive(false);
    controller.reset();
    os.log.take();
    os.queue.advance(std::chrono::seconds(60));
    EXPECT_THAT(os.log.take(), IsEmpty());
}

TEST_F(PageRecovery, APageOverItsMemoryIsLoadedAgainAtOnceOverTheCeilingElseOnceQuietWhichACollapseIs) {
    const auto limits = web().configuration().memoryLimits.value();
    const auto reading = orvia::MemoryGuardPolicy::readingInterval;
    controller->showMainWindow(Maximize::No);
    os.log.take();

    web().setWebContentProcessMemory(limits.budget + 1);
    os.queue.advance(orvia::MemoryGuardPolicy::quietAfter / 2);
    EXPECT_THAT(os.log.take(), IsEmpty()) << "shown a while ago, the interface may still be in use";
    web().setWebContentProcessMemory(limits.ceiling + 1);
    os.queue.advance(reading);
    EXPECT_THAT(os.log.take(), ElementsAre("web.terminateWebContentProcess", launchLoad));
    web().finishLoading();

    // Collapsed, nobody uses it: above the budget it is loaded again once the new process had its time.
    controller->minimizeToBubble();
    os.log.take();
    web().setWebContentProcessMemory(limits.budget + 1);
    os.queue.advance(orvia::MemoryGuardPolicy::releaseGrace - reading);
    EXPECT_THAT(os.log.take(), IsEmpty()) << "the new process gets the engine's time of its own";
    os.queue.advance(2 * reading);
    EXPECT_THAT(os.log.take(), ElementsAre("web.terminateWebContentProcess", launchLoad));
}

// The decisions carried out for the web view, also once the page's process has died and the interface
// has come back.
TEST_F(Interface, CameraAloneIsDeniedWithoutPromptAndFramesShowOnlyWhatTheyCanDisplayButNeverReplaceThePage) {
    const std::pair<MediaCaptureType, PermissionDecision> media[] = {
        {MediaCaptureType::Camera, PermissionDecision::Deny},
        {MediaCaptureType::Microphone, PermissionDecision::Grant},
        {MediaCaptureType::CameraAndMicrophone, PermissionDecision::Grant},
    };
    const std::pair<NavigationResponse, NavigationResponsePolicy> navigation[] = {
        {{.isForMainFrame = true, .canShowMIMEType = true}, NavigationResponsePolicy::Cancel},
        {{.isForMainFrame = true, .canShowMIMEType = false}, NavigationResponsePolicy::Cancel},
        {{.isForMainFrame = false, .canShowMIMEType = true}, NavigationResponsePolicy::Allow},
        {{.isForMainFrame = false, .canShowMIMEType = false}, NavigationResponsePolicy::Cancel},
    };
    for (int load = 0; load < 2; ++load) {
        SCOPED_TRACE(testing::Message() << "load " << load);
        // Answered at once, exactly once, whatever the origin.
        for (const auto& [type, decision] : media)
            EXPECT_THAT(web().requestMediaCapture("https://evil.example", type), ElementsAre(decision))
                << static_cast<int>(type);
        for (const auto& [response, policy] : navigation)
            EXPECT_EQ(web().receiveNavigationResponse(response), policy)
                << "main frame " << response.isForMainFrame << ", displayable " << response.canShowMIMEType;
        crashAndSettle();
    }
}
