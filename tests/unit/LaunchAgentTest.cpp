#include "TemporaryFolder.h"
#include "app/AppDelegate.h"
#include "app/AutostartEntry.h"
#include "app/LaunchAgentPropertyList.h"
#include "fake/FakePlatform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace fs = std::filesystem;

namespace {

TEST(LaunchAgentPropertyList, IsThePublishedEightLineJobWithoutATrailingLineFeed) {
    EXPECT_EQ(
        orvia::launchAgentPropertyList("ai.orvia.orvia-desktop", "/Applications/OrviaDesktop.app"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\"><dict>\n"
        "  <key>Label</key><string>ai.orvia.orvia-desktop</string>\n"
        "  "
        "<key>ProgramArguments</key><array><string>/Applications/OrviaDesktop.app/Contents/MacOS/OrviaDesktop"
        "</string></array>\n"
        "  <key>RunAtLoad</key><true/>\n"
        "  <key>KeepAlive</key><false/>\n"
        "</dict></plist>");
}

TEST(LaunchAgentPropertyList, EscapesBothValuesForXml) {
    const auto text =
        orvia::launchAgentPropertyList("a&b<c>", R"(/Users/kiosk/R&D <"Orvia's"> Apps/Orvia.app)");
    EXPECT_NE(text.find("  <key>Label</key><string>a&amp;b&lt;c&gt;</string>\n"), std::string::npos);
    EXPECT_NE(text.find("<array><string>/Users/kiosk/R&amp;D &lt;&quot;Orvia&apos;s&quot;&gt; "
                        "Apps/Orvia.app/Contents/MacOS/OrviaDesktop</string></array>\n"),
              std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 7);
}

TEST(AutostartEntry, StartsTheExecutableAsAnApplication) {
    EXPECT_EQ(orvia::autostartEntry("/opt/orvia/OrviaDesktop"), "[Desktop Entry]\n"
                                                                "Type=Application\n"
                                                                "Name=Orvia Desktop\n"
                                                                "Exec=\"/opt/orvia/OrviaDesktop\"\n"
                                                                "Terminal=false\n");
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
    void launch(const std::optional<fs::path>& folder,
                platform::LoginItemFormat format = platform::LoginItemFormat::DesktopEntry) {
        fake::FakePlatform os;
        os.logins.path = folder;
        os.logins.kind = format;
        auto delegate = std::make_shared<orvia::AppDelegate>(os);
        os.app.setDelegate(delegate);
        os.app.finishLaunching();
        launched = os.window("interface") && os.window("interface")->isKey();
        bundlePath = os.bundle.bundlePath().string();
        executablePath = os.bundle.executablePath().string();
    }

    TemporaryFolder root;
    bool launched = false;
    // Where the last launch ran from.
    std::string bundlePath;
    std::string executablePath;
};

TEST_F(LaunchAgentInstaller, CreatesTheAutostartFolderAndTheEntryNamedAfterTheApplication) {
    const auto folder = root / "config" / "autostart";
    launch(folder);
    EXPECT_EQ(readFile(folder / "ai.orvia.orvia-desktop.desktop"), orvia::autostartEntry(executablePath));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1)
        << "no temporary left";
    EXPECT_TRUE(launched);
}

TEST_F(LaunchAgentInstaller, WritesTheLaunchdPropertyListWhereTheSystemReadsThose) {
    launch(root / "LaunchAgents", platform::LoginItemFormat::LaunchdPropertyList);
    EXPECT_EQ(readFile(root / "LaunchAgents" / "ai.orvia.orvia-desktop.plist"),
              orvia::launchAgentPropertyList("ai.orvia.orvia-desktop", bundlePath));
    EXPECT_FALSE(fs::exists(root / "LaunchAgents" / "ai.orvia.orvia-desktop.desktop"));
}

TEST_F(LaunchAgentInstaller, AFolderThatCannotBeMadeOrNoFolderAtAllDoesNotStopTheLaunch) {
    // A regular file where a folder should be: this fails even for root.
    std::ofstream(root / "config") << "not a folder";
    launch(root / "config" / "autostart");
    EXPECT_TRUE(launched);
    EXPECT_EQ(readFile(root / "config"), "not a folder");

    launch(std::nullopt);
    EXPECT_TRUE(launched);
}

} // namespace
