#include "app/AppDelegate.h"
#include "TemporaryFolder.h"
#include "app/AutostartEntry.h"
#include "app/KioskRestartPolicy.h"
#include "app/LaunchAgentPropertyList.h"
#include "fake/FakePlatform.h"
#include "resource_bundle_accessor/ResourceBundleAccessor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>

using orvia::UpdateCheckMode;
using platform::ModifierFlags::Command;
using platform::ModifierFlags::Option;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

constexpr const char* downloadAddress = "https://orvia.ai/downloads/OrviaDesktop-1.4.0.dmg";

std::string manifest(const std::string& version, const std::string& downloadURL = downloadAddress) {
    const nlohmann::json release = {
        {"version", version}, {"downloadURL", downloadURL}, {"notes", "Faster replies."}};
    return nlohmann::json{{"macOS", release}}.dump();
}

std::string offerLines(const std::string& version) {
    return "alert.runModal message=\"Orvia Desktop " + version +
           " is ready\" informative=\"Faster replies.\" buttons=Download Update|Later";
}

std::string upToDateLine(const std::string& version) {
    return "alert.runModal message=\"Orvia Desktop is up to date\" informative=\"You have version " +
           version + ".\" buttons=OK";
}

// The program on the recording backend, its application delegate installed; the test plays the user and
// the update server.
struct Kiosk {
    Kiosk() {
        os.app.setDelegate(delegate);
        os.log.take();
    }

    // One check whose request the server answers with body, or fails without one; returns what the
    // program did with it.
    std::vector<std::string> checkAnswered(UpdateCheckMode mode, const std::optional<std::string>& body) {
        delegate->checkForUpdates(mode);
        os.log.take();
        if (body)
            os.network.complete(os.network.requestCount() - 1, *body);
        else
            os.network.fail(os.network.requestCount() - 1);
        os.queue.drain();
        return os.log.take();
    }

    // Only the main queue may touch the defaults, alerts or workspace, never the network's worker.
    void expectNothingOnTheWorker() const {
        for (const auto& line : os.log.lines())
            EXPECT_FALSE(line.starts_with("[worker]")) << line;
    }

    fake::FakePlatform os;
    std::shared_ptr<orvia::AppDelegate> delegate = std::make_shared<orvia::AppDelegate>(os);
};

class AppDelegateTest : public testing::Test, protected Kiosk {
protected:
    void TearDown() override { expectNothingOnTheWorker(); }

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
};

using UpdateCheckTest = AppDelegateTest;

} // namespace

TEST_F(AppDelegateTest, BeforeLaunchNothingHappensAndLaunchKeepsTheDisplayAwakeAndShowsTheInterface) {
    EXPECT_EQ(os.app.requestQuit(), platform::TerminateReply::Cancel);
    EXPECT_TRUE(os.app.reopen(false));
    EXPECT_TRUE(delegate->tryToPerform("showOrvia", nullptr));
    EXPECT_THAT(os.log.take(), IsEmpty());

    os.app.finishLaunching();
    EXPECT_THAT(os.log.linesStartingWith("process.beginActivity"),
                ElementsAre("process.beginActivity #1 options=0x10000ffffff reason=Keep the Orvia public "
                            "assistant ready for voice requests"));
    expectExpandedAt(fake::FakePlatform::defaultVisibleFrame);
}

TEST_F(AppDelegateTest, EveryQuitRequestCollapsesAndIsRefusedAndAReopenShowsTheSavedFrame) {
    launch();
    interface().setFrame({40, 90, 1000, 700}, true);
    EXPECT_EQ(os.app.requestQuit(), platform::TerminateReply::Cancel);
    EXPECT_EQ(interface().frame(), (platform::Rect{0, 70, 2, 2}));
    os.app.terminate();
    EXPECT_EQ(os.log.linesStartingWith("web.eval window.orviaPause").size(), 2u);
    EXPECT_FALSE(os.app.hasTerminated());
    EXPECT_EQ(os.process.activeCount(), 1);

    for (bool hasVisibleWindows : {true, false}) {
        EXPECT_TRUE(os.app.reopen(hasVisibleWindows));
        expectExpandedAt({40, 90, 1000, 700});
    }
}

// Every menu command is the delegate's. Only Command-Option-Q asks for the authentication, and only its
// status 0 ends the kiosk, without a collapse on the way out; every other outcome leaves it running and a
// later attempt can still succeed.
TEST_F(AppDelegateTest, MenuCommandsAreTheDelegatesOnlyCommandOptionQAsksAndOnlyStatusZeroEndsTheKiosk) {
    launch();
    os.launcher.outcome = 1;
    const auto& commands = os.app.mainMenu().items.at(0).submenu->items;
    EXPECT_EQ(commands.size(), 4u);
    for (const auto& item : commands)
        EXPECT_TRUE(item.isSeparator || delegate->tryToPerform(item.action, nullptr)) << item.action;
    for (const char* unknown : {"terminate", "", "showOrvia:"})
        EXPECT_FALSE(delegate->tryToPerform(unknown, nullptr)) << unknown;
    for (std::uint64_t modifiers : {std::uint64_t{0}, Command, Option, Command | Option})
        EXPECT_EQ(os.app.pressKeyEquivalent("q", modifiers), modifiers == (Command | Option)) << modifiers;
    EXPECT_EQ(os.log.linesStartingWith("process.run").size(), 2u) << "the menu item and the keys";

    for (auto outcome : {std::optional(126), std::optional(127), std::optional(128 + 15), std::optional(-1),
                         std::optional<int>()}) {
        os.launcher.outcome = outcome;
        delegate->administratorExit();
        EXPECT_FALSE(os.app.hasTerminated()) << "the kiosk runs on";
        EXPECT_EQ(os.app.requestQuit(), platform::TerminateReply::Cancel) << "the gate stays closed";
    }
    EXPECT_EQ(os.log.linesStartingWith("app.beep").size(), 1u) << "only a program that cannot start beeps";

    os.app.reopen(true);
    os.launcher.outcome = 0;
    delegate->administratorExit();
    EXPECT_TRUE(os.app.hasTerminated());
    EXPECT_EQ(os.process.activeCount(), 0);
    EXPECT_EQ(interface().frame(), fake::FakePlatform::defaultVisibleFrame) << "no collapse on the way out";
}

TEST(LaunchAgentPropertyList, IsThePublishedEightLineJobWithBothValuesEscapedForXml) {
    EXPECT_EQ(
        orvia::launchAgentPropertyList("a&b<c>", R"(/Users/kiosk/R&D <"Orvia's"> Apps/Orvia.app)"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\"><dict>\n"
        "  <key>Label</key><string>a&amp;b&lt;c&gt;</string>\n"
        "  <key>ProgramArguments</key><array><string>/Users/kiosk/R&amp;D &lt;&quot;Orvia&apos;s&quot;&gt; "
        "Apps/Orvia.app/Contents/MacOS/OrviaDesktop</string></array>\n"
        "  <key>RunAtLoad</key><true/>\n"
        "  <key>KeepAlive</key><false/>\n"
        "</dict></plist>");
}

TEST(AutostartEntry, ExecQuotesThePathAsTheDesktopEntrySpecificationAsks) {
    const std::pair<std::string, std::string> cases[] = {
        {"/home/kiosk user/Orvia Desktop/OrviaDesktop", R"("/home/kiosk user/Orvia Desktop/OrviaDesktop")"},
        {R"(/opt/say "hi"/x)", R"("/opt/say \\"hi\\"/x")"},
        {"/opt/$HOME/x", R"("/opt/\\$HOME/x")"},
        {"/opt/`id`/x", R"("/opt/\\`id\\`/x")"},
        {R"(/opt/back\slash/x)", R"("/opt/back\\\\slash/x")"},
        {"/opt/100%/x %f", R"("/opt/100%%/x %%f")"},
        {"/opt/it's & <more>;|*?#()~=/x", R"("/opt/it's & <more>;|*?#()~=/x")"},
        {"/opt/line\nbreak\ttab\rreturn/x", R"("/opt/line\nbreak\ttab\rreturn/x")"},
        {"/opt/Ørvia ünïcode/x", R"("/opt/Ørvia ünïcode/x")"},
    };
    for (const auto& [path, exec] : cases)
        EXPECT_EQ(orvia::desktopEntryExecValue(path), exec) << path;
}

// The desktop entry is checked end to end. A folder for the entry that cannot be made (a file in its
// place stops even root), or none at all, stops nothing.
TEST(LaunchAgentInstaller, WritesTheBundlesPropertyListForLaunchdAndNothingStopsTheLaunch) {
    TemporaryFolder root;
    writeFile(root / "blocked", "not a folder");
    std::string bundlePath;
    for (auto folder : {std::optional(root / "blocked" / "agents"), std::optional<std::filesystem::path>(),
                        std::optional(root / "agents")}) {
        Kiosk kiosk;
        kiosk.os.logins.path = folder;
        kiosk.os.logins.kind = platform::LoginItemFormat::LaunchdPropertyList;
        kiosk.os.app.finishLaunching();
        EXPECT_TRUE(kiosk.os.window("interface")->isKey());
        bundlePath = kiosk.os.bundle.bundlePath().string();
    }
    EXPECT_EQ(readFile(root / "blocked"), "not a folder");
    EXPECT_EQ(readFile(root / "agents" / "ai.orvia.orvia-desktop.plist"),
              orvia::launchAgentPropertyList("ai.orvia.orvia-desktop", bundlePath));
}

// An end the program chose is final and every other comes back: at once five times, then once a minute
// over any span of time until the kiosk stays up.
TEST(KioskRestartPolicy, AnEndTheProgramChoseIsFinalAndEveryOtherComesBackFiveTimesQuicklyThenOnceAMinute) {
    using orvia::KioskRestartPolicy;
    using platform::ProcessEnd;
    using Seconds = KioskRestartPolicy::Seconds;
    constexpr ProcessEnd crash{ProcessEnd::Cause::Signal, SIGSEGV};
    const std::pair<ProcessEnd, bool> ends[] = {
        {{ProcessEnd::Cause::Exit, 0}, false},
        {{ProcessEnd::Cause::Exit, orvia::missingResourceBundleExitStatus}, false},
        {{ProcessEnd::Cause::Exit, 1}, true},
        {crash, true},
        {{ProcessEnd::Cause::Signal, SIGTERM}, true},
    };
    for (const auto& [end, restarts] : ends) {
        const auto atOnce = restarts ? std::optional(Seconds::zero()) : std::nullopt;
        EXPECT_EQ(KioskRestartPolicy().restartDelay(end, Seconds(100)), atOnce)
            << "cause " << static_cast<int>(end.cause) << " code " << end.code;
    }

    // Crash times, each with the wait before the restart it must get.
    const std::pair<double, double> crashes[] = {
        {0, 0},    {1, 0},    {2, 0},    {3, 0},    {4, 0},    {5, 55},   {61, 59},
        {121, 59}, {1000, 0}, {1001, 0}, {1002, 0}, {1003, 0}, {1004, 0}, {1005, 55},
    };
    KioskRestartPolicy policy;
    for (const auto& [at, delay] : crashes)
        EXPECT_EQ(policy.restartDelay(crash, Seconds(at)), Seconds(delay)) << "crash at " << at;
}

// A failed check, or an answer that is no manifest, shows nothing and changes nothing in either mode;
// what a manifest must hold is the decoder's test.
TEST_F(UpdateCheckTest, OffersANewerReleaseOncePerVersionWhenSilentAndAlwaysWhenAskedAndFailuresShowNothing) {
    const auto Silent = UpdateCheckMode::Silent;
    const auto Interactive = UpdateCheckMode::Interactive;
    const std::string noticeSet = "defaults.set OrviaDesktopUpdateNotice.1.4.0=true";
    const std::string later = "alert.answer 1001";
    const std::vector<std::string> offer = {noticeSet, offerLines("1.4.0"), later};
    const std::vector<std::string> upToDate = {upToDateLine("1.3.2"), later};
    const std::string truncated = R"({"macOS": {"version": "1.4.0", )";
    const char* offered = "OrviaDesktopUpdateNotice.1.4.0";
    // What, the mode, the server's answer, the notice given before, what the program does.
    const std::tuple<const char*, UpdateCheckMode, std::optional<std::string>, const char*,
                     std::vector<std::string>>
        table[] = {
            {"silent, newer, first time", Silent, manifest("1.4.0"), nullptr, offer},
            {"silent, newer, offered before", Silent, manifest("1.4.0"), offered, {}},
            {"silent, newer, another spelling offered before",
             Silent,
             manifest("1.4"),
             offered,
             {"defaults.set OrviaDesktopUpdateNotice.1.4=true", offerLines("1.4"), later}},
            {"interactive, newer, offered before", Interactive, manifest("1.4.0"), offered, offer},
            {"silent, same version", Silent, manifest("1.3.2"), nullptr, {}},
            {"interactive, same version", Interactive, manifest("1.3.2"), nullptr, upToDate},
            {"silent, no answer", Silent, std::nullopt, nullptr, {}},
            {"interactive, no answer", Interactive, std::nullopt, nullptr, {}},
            {"silent, no manifest", Silent, truncated, nullptr, {}},
            {"interactive, no manifest", Interactive, truncated, nullptr, {}},
        };
    for (const auto& [what, mode, answer, noticeAlreadyGiven, expected] : table) {
        SCOPED_TRACE(what);
        Kiosk kiosk;
        // Stored as a number, as an operator may write it by hand: any but 0 is true.
        if (noticeAlreadyGiven)
            kiosk.os.defaults.setObject(noticeAlreadyGiven, 1);
        kiosk.os.alertResponses = {platform::AlertResponse::SecondButton};
        EXPECT_EQ(kiosk.checkAnswered(mode, answer), expected);
        kiosk.expectNothingOnTheWorker();
    }
}

TEST_F(UpdateCheckTest, DownloadUpdateOpensOnlyAWebAddressAndTheKeyStaysSetWhateverTheAnswer) {
    const std::tuple<std::string, int, bool> table[] = {
        {downloadAddress, platform::AlertResponse::FirstButton, true},
        {downloadAddress, platform::AlertResponse::SecondButton, false},
        {downloadAddress, platform::AlertResponse::Dismissed, false},
        {"file:///etc/passwd", platform::AlertResponse::FirstButton, false},
    };
    for (const auto& [downloadURL, response, opens] : table) {
        SCOPED_TRACE(downloadURL + " answered " + std::to_string(response));
        os.alertResponses = {response};
        std::vector<std::string> expected = {"defaults.set OrviaDesktopUpdateNotice.2.0=true",
                                             offerLines("2.0"), "alert.answer " + std::to_string(response)};
        if (opens)
            expected.push_back("workspace.openURL " + downloadURL);
        EXPECT_EQ(checkAnswered(UpdateCheckMode::Interactive, manifest("2.0", downloadURL)), expected);
    }
}

TEST_F(UpdateCheckTest, NothingHappensWhenTheDelegateIsGoneBeforeTheResponseOrTheLaunchCheck) {
    os.app.finishLaunching();
    delegate->checkForUpdates(UpdateCheckMode::Interactive);
    delegate.reset();
    os.log.take();
    os.network.complete(0, manifest("1.4.0"));
    os.queue.advance(std::chrono::seconds(4));

    EXPECT_EQ(os.network.requestCount(), 1u);
    EXPECT_THAT(os.log.take(), IsEmpty());
}

TEST(UpdateCheck, WithoutAVersionStringTheApplicationIsAtVersionZero) {
    const nlohmann::json infos[] = {nlohmann::json::object(), {{"CFBundleShortVersionString", 1.3}}};
    for (const auto& info : infos) {
        SCOPED_TRACE(info.dump());
        Kiosk kiosk;
        kiosk.os.bundle.info = info;
        EXPECT_THAT(kiosk.checkAnswered(UpdateCheckMode::Interactive, manifest("0.0")),
                    ElementsAre(upToDateLine("0"), "alert.answer 1000"));
    }
}

TEST_F(UpdateCheckTest, ChecksAtOnceShowTheirAlertsOneAfterTheOtherAndOfferAVersionSilentlyOnce) {
    for (auto mode : {UpdateCheckMode::Silent, UpdateCheckMode::Silent, UpdateCheckMode::Interactive})
        delegate->checkForUpdates(mode);
    os.log.take();
    for (std::size_t request = 0; request < 3; ++request)
        os.network.complete(request, manifest("1.4.0"));
    os.alertResponses = {platform::AlertResponse::FirstButton, platform::AlertResponse::SecondButton};
    os.queue.drain();

    // The later results reach the main queue while the first alert waits; the interactive one's alert
    // follows only once the first check has opened the download.
    EXPECT_THAT(os.log.take(),
                ElementsAre("defaults.set OrviaDesktopUpdateNotice.1.4.0=true", offerLines("1.4.0"),
                            "alert.answer 1000", std::string("workspace.openURL ") + downloadAddress,
                            "defaults.set OrviaDesktopUpdateNotice.1.4.0=true", offerLines("1.4.0"),
                            "alert.answer 1001"));
}

TEST_F(UpdateCheckTest, TheLaunchStartsOneSilentCheckThreeSecondsLater) {
    os.app.finishLaunching();
    os.queue.advance(std::chrono::milliseconds(2999));
    EXPECT_EQ(os.network.requestCount(), 0u);
    os.queue.advance(std::chrono::milliseconds(1));
    EXPECT_EQ(os.network.requestCount(), 1u);
    os.queue.advance(std::chrono::hours(1));
    EXPECT_EQ(os.network.requestCount(), 1u);
    os.network.complete(0, manifest("1.3.2"));
    os.queue.drain();
    EXPECT_THAT(os.log.linesStartingWith("alert"), IsEmpty()) << "silent: an equal version shows nothing";
}
