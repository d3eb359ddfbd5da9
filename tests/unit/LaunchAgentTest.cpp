#include "TemporaryFolder.h"
#include "app/AppDelegate.h"
#include "app/AutostartEntry.h"
#include "app/LaunchAgentPropertyList.h"
#include "fake/FakePlatform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

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
    struct Case {
        std::string path;
        std::string exec;
    };
    const Case cases[] = {
        {"/opt/orvia/OrviaDesktop", R"("/opt/orvia/OrviaDesktop")"},
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

class LaunchAgentInstaller : public testing::Test {
protected:
    // One launch of the program, with its own system.
    void launch(const std::optional<fs::path>& folder, platform::LoginItemFormat format) {
        fake::FakePlatform os;
        os.logins.path = folder;
        os.logins.kind = format;
        auto delegate = std::make_shared<orvia::AppDelegate>(os);
        os.app.setDelegate(delegate);
        os.app.finishLaunching();
        launched = os.window("interface") && os.window("interface")->isKey();
        bundlePath = os.bundle.bundlePath().string();
    }

    TemporaryFolder root;
    bool launched = false;
    // Where the last launch ran from.
    std::string bundlePath;
};

TEST_F(LaunchAgentInstaller, WritesTheEntryInTheFormatTheSystemReadsAndNothingStopsTheLaunch) {
    // The desktop entry is checked end to end, in the real program's autostart folder.
    launch(root / "LaunchAgents", platform::LoginItemFormat::LaunchdPropertyList);
    EXPECT_EQ(readFile(root / "LaunchAgents" / "ai.orvia.orvia-desktop.plist"),
              orvia::launchAgentPropertyList("ai.orvia.orvia-desktop", bundlePath));
    EXPECT_FALSE(fs::exists(root / "LaunchAgents" / "ai.orvia.orvia-desktop.desktop"));
    EXPECT_TRUE(launched);

    // A regular file where the folder should be (this fails even for root), or no folder at all.
    std::ofstream(root / "blocked") << "not a folder";
    launch(root / "blocked" / "autostart", platform::LoginItemFormat::DesktopEntry);
    EXPECT_TRUE(launched);
    EXPECT_EQ(readFile(root / "blocked"), "not a folder");
    launch(std::nullopt, platform::LoginItemFormat::DesktopEntry);
    EXPECT_TRUE(launched);
}

} // namespace
