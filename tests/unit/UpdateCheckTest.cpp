#include "app/AppDelegate.h"
#include "fake/FakePlatform.h"
#include "updates/UpdateServer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using orvia::UpdateCheckMode;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

constexpr const char* downloadAddress = "https://orvia.ai/downloads/OrviaDesktop-1.4.0.dmg";

std::string manifest(const std::string& version, const std::string& downloadURL = downloadAddress,
                     const std::string& notes = "Faster replies.") {
    return nlohmann::json{{"macOS", {{"version", version}, {"downloadURL", downloadURL}, {"notes", notes}}}}
        .dump();
}

std::string requestLine() {
    std::string line = "http.get " + std::string(orvia::updateManifestURL);
    if (!orvia::updateCertificateAuthorityFile.empty())
        line += " ca=" + std::string(orvia::updateCertificateAuthorityFile);
    return line;
}

std::string offerLines(const std::string& version) {
    return "alert.runModal message=\"Orvia Desktop " + version +
           " is ready\" informative=\"Faster replies.\" buttons=Download Update|Later";
}

std::string upToDateLine(const std::string& version) {
    return "alert.runModal message=\"Orvia Desktop is up to date\" informative=\"You have version " +
           version + ".\" buttons=OK";
}

// The program on the recording backend, playing the update server.
struct Kiosk {
    Kiosk() {
        os.app.setDelegate(delegate);
        os.log.take();
    }

    // One check whose request the server answers with body; returns what the program did with it.
    std::vector<std::string> checkAnswered(UpdateCheckMode mode, const std::string& body) {
        delegate->checkForUpdates(mode);
        EXPECT_EQ(os.log.take(), std::vector<std::string>{requestLine()});
        os.network.complete(os.network.requestCount() - 1, body);
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

class UpdateCheckTest : public testing::Test, protected Kiosk {
protected:
    void TearDown() override { expectNothingOnTheWorker(); }
};

struct Decision {
    const char* what;
    UpdateCheckMode mode;
    std::string offeredVersion;
    const char* noticeAlreadyGiven;
    std::vector<std::string> expected;
};

TEST_F(UpdateCheckTest, OffersANewerReleaseOncePerVersionWhenSilentAndAlwaysWhenAsked) {
    const auto Silent = UpdateCheckMode::Silent;
    const auto Interactive = UpdateCheckMode::Interactive;
    const std::string noticeSet = "defaults.set OrviaDesktopUpdateNotice.1.4.0=true";
    const std::string later = "alert.answer 1001";
    const std::vector<std::string> offer = {noticeSet, offerLines("1.4.0"), later};
    const std::vector<std::string> upToDate = {upToDateLine("1.3.2"), later};
    const Decision table[] = {
        {"silent, newer, first time", Silent, "1.4.0", nullptr, offer},
        {"silent, newer, offered before", Silent, "1.4.0", "OrviaDesktopUpdateNotice.1.4.0", {}},
        {"silent, newer, another spelling offered before",
         Silent,
         "1.4",
         "OrviaDesktopUpdateNotice.1.4.0",
         {"defaults.set OrviaDesktopUpdateNotice.1.4=true", offerLines("1.4"), later}},
        {"interactive, newer, first time", Interactive, "1.4.0", nullptr, offer},
        {"interactive, newer, offered before", Interactive, "1.4.0", "OrviaDesktopUpdateNotice.1.4.0", offer},
        {"silent, same version", Silent, "1.3.2", nullptr, {}},
        {"interactive, same version", Interactive, "1.3.2", nullptr, upToDate},
        {"interactive, older", Interactive, "1.2.9", nullptr, upToDate},
    };
    for (const Decision& row : table) {
        SCOPED_TRACE(row.what);
        Kiosk kiosk;
        if (row.noticeAlreadyGiven)
            kiosk.os.defaults.setBool(row.noticeAlreadyGiven, true);
        kiosk.os.log.take();
        kiosk.os.alertResponses = {platform::AlertResponse::SecondButton};

        EXPECT_EQ(kiosk.checkAnswered(row.mode, manifest(row.offeredVersion)), row.expected);
        EXPECT_THAT(kiosk.os.work.openedURLs(), IsEmpty());
        kiosk.expectNothingOnTheWorker();
    }
}

TEST_F(UpdateCheckTest, DownloadUpdateOpensOnlyAWebAddressAndTheKeyStaysSetWhateverTheAnswer) {
    const std::tuple<std::string, int, bool> table[] = {
        {downloadAddress, platform::AlertResponse::FirstButton, true},
        {"http://downloads.orvia.ai/OrviaDesktop.dmg", platform::AlertResponse::FirstButton, true},
        {downloadAddress, platform::AlertResponse::SecondButton, false},
        {downloadAddress, platform::AlertResponse::Dismissed, false},
        {"file:///etc/passwd", platform::AlertResponse::FirstButton, false},
        {"javascript:alert(1)", platform::AlertResponse::FirstButton, false},
        {"https:///OrviaDesktop.dmg", platform::AlertResponse::FirstButton, false},
    };
    for (const auto& [downloadURL, response, opens] : table) {
        SCOPED_TRACE(downloadURL + " answered " + std::to_string(response));
        os.alertResponses = {response};
        const auto log = checkAnswered(UpdateCheckMode::Interactive, manifest("2.0", downloadURL));

        ASSERT_GE(log.size(), 3u);
        EXPECT_EQ(log[2], "alert.answer " + std::to_string(response));
        EXPECT_EQ(std::vector(log.begin() + 3, log.end()),
                  opens ? std::vector{"workspace.openURL " + downloadURL} : std::vector<std::string>{});
        EXPECT_TRUE(os.defaults.boolForKey("OrviaDesktopUpdateNotice.2.0"));
    }
}

TEST_F(UpdateCheckTest, FailuresShowNothingAndChangeNothingInEitherMode) {
    const std::pair<const char*, std::optional<std::string>> bodies[] = {
        {"no body", std::nullopt},
        {"notes null", R"({"macOS": {"version": "9.0", "downloadURL": "https://orvia.ai/", "notes": null}})"},
    };
    for (const auto mode : {UpdateCheckMode::Silent, UpdateCheckMode::Interactive}) {
        for (const auto& [what, body] : bodies) {
            SCOPED_TRACE(what);
            delegate->checkForUpdates(mode);
            os.log.take();
            if (body)
                os.network.complete(os.network.requestCount() - 1, *body);
            else
                os.network.fail(os.network.requestCount() - 1);
            EXPECT_EQ(os.queue.pendingCount(), 0u);
            os.queue.drain();
            EXPECT_THAT(os.log.take(), IsEmpty());
        }
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
    const nlohmann::json infos[] = {nlohmann::json::object(),
                                    {{"CFBundleShortVersionString", 1.3}},
                                    {{"CFBundleShortVersionString", nullptr}}};
    for (const auto& info : infos) {
        SCOPED_TRACE(info.dump());
        Kiosk kiosk;
        kiosk.os.bundle.info = info;
        kiosk.os.alertResponses = {platform::AlertResponse::SecondButton,
                                   platform::AlertResponse::SecondButton};
        EXPECT_THAT(kiosk.checkAnswered(UpdateCheckMode::Interactive, manifest("0.0")),
                    ElementsAre(upToDateLine("0"), "alert.answer 1001"));
        EXPECT_THAT(kiosk.checkAnswered(UpdateCheckMode::Interactive, manifest("0.1")),
                    ElementsAre("defaults.set OrviaDesktopUpdateNotice.0.1=true", offerLines("0.1"),
                                "alert.answer 1001"));
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
    os.log.take();

    os.queue.advance(std::chrono::milliseconds(2999));
    EXPECT_EQ(os.network.requestCount(), 0u);
    os.queue.advance(std::chrono::milliseconds(1));
    EXPECT_THAT(os.log.take(), ElementsAre(requestLine()));
    os.queue.advance(std::chrono::hours(1));
    EXPECT_EQ(os.network.requestCount(), 1u);
    os.network.complete(0, manifest("1.3.2"));
    os.queue.drain();
    EXPECT_THAT(os.log.take(), IsEmpty()) << "silent: an equal version shows nothing";
}

} // namespace
