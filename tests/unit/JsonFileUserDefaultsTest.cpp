#include "files/JsonFileUserDefaults.h"
#include "TemporaryFolder.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using nlohmann::json;
using platform::files::JsonFileUserDefaults;

namespace {

// How many entries the folder holds.
std::ptrdiff_t entries(const std::filesystem::path& folder) {
    return std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator());
}

// Writes a megabyte to the defaults in a child process under a 4 KiB file size limit, its SIGXFSZ left
// to kill it or ignored, and gives the child's wait status.
int writeOverTheSizeLimit(const std::filesystem::path& file, bool signalIgnored) {
    const pid_t child = ::fork();
    if (child == 0) {
        rlimit noCore{0, 0}, limit{4096, 4096};
        ::setrlimit(RLIMIT_CORE, &noCore);
        ::setrlimit(RLIMIT_FSIZE, &limit);
        if (signalIgnored)
            ::signal(SIGXFSZ, SIG_IGN);
        JsonFileUserDefaults(file).setObject("big", std::string(1 << 20, 'x'));
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

class JsonFileUserDefaultsTest : public testing::Test {
protected:
    TemporaryFolder home;
    std::filesystem::path file = home / "config" / "ai.orvia.orvia-desktop" / "defaults.json";
};

} // namespace

TEST(JsonFileUserDefaultsLocation, FollowsTheXdgConfigHomeWhenItIsAbsolute) {
    const std::tuple<const char*, std::string> cases[] = {
        {"/srv/config", "/srv/config/ai.orvia.orvia-desktop/defaults.json"},
        {nullptr, "/home/kiosk/.config/ai.orvia.orvia-desktop/defaults.json"},
        {"", "/home/kiosk/.config/ai.orvia.orvia-desktop/defaults.json"},
        {"relative/config", "/home/kiosk/.config/ai.orvia.orvia-desktop/defaults.json"},
    };
    for (const auto& [xdgConfigHome, location] : cases)
        EXPECT_EQ(JsonFileUserDefaults::fileLocation("ai.orvia.orvia-desktop", xdgConfigHome, "/home/kiosk"),
                  location);
}

TEST_F(JsonFileUserDefaultsTest, ValuesSurviveARestartTextThatIsNotUtf8IsStoredAndAFailedWriteRaisesNothing) {
    // Which values survive a change is the fuzz target's check.
    {
        JsonFileUserDefaults defaults(file);
        EXPECT_EQ(defaults.objectForKey("count"), std::nullopt);
        defaults.setObject("count", 3);
        defaults.setObject("count", 4);
        EXPECT_NO_THROW(defaults.setObject("broken", "caf\xe9"));
    }
    JsonFileUserDefaults restarted(file);
    EXPECT_EQ(restarted.objectForKey("count"), json(4));
    EXPECT_EQ(restarted.stringForKey("broken"), "caf\xef\xbf\xbd");
    EXPECT_EQ(entries(file.parent_path()), 1) << "nothing beside the file";
    // Readable like any other file of the user's, not private as its temporary file was made.
    using std::filesystem::perms;
    EXPECT_EQ(std::filesystem::status(file).permissions(),
              perms::owner_read | perms::owner_write | perms::group_read | perms::others_read);

    // A file where the folder should be: the value is kept for this run, and nothing is raised.
    writeFile(home / "blocked", "a file");
    JsonFileUserDefaults blocked(home / "blocked" / "defaults.json");
    EXPECT_NO_THROW(blocked.setObject("OrviaDesktopGuestMemberID", "kept in memory"));
    EXPECT_EQ(blocked.stringForKey("OrviaDesktopGuestMemberID"), "kept in memory");
}

TEST_F(JsonFileUserDefaultsTest, WhatCannotBeReadIsMovedAsideUnderANewNameEachTimeWithoutBlockingTheStart) {
    std::filesystem::create_directories(file.parent_path());
    ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
    JsonFileUserDefaults defaults(file);
    EXPECT_EQ(defaults.objectForKey("a"), std::nullopt);
    defaults.setObject("a", 1);
    EXPECT_TRUE(std::filesystem::is_fifo(file.string() + ".corrupt"));
    EXPECT_EQ(JsonFileUserDefaults(file).objectForKey("a"), json(1));

    writeFile(file, "second");
    JsonFileUserDefaults(file).setObject("a", 2);
    writeFile(file, "third");
    JsonFileUserDefaults(file).setObject("a", 3);
    EXPECT_TRUE(std::filesystem::is_fifo(file.string() + ".corrupt"));
    EXPECT_EQ(readFile(file.string() + ".corrupt-2"), "second");
    EXPECT_EQ(readFile(file.string() + ".corrupt-3"), "third");
}

TEST_F(JsonFileUserDefaultsTest, AWriteKilledOrFailedBeforeTheRenameLeavesTheOldFileWhole) {
    JsonFileUserDefaults(file).setObject("OrviaDesktopGuestMemberID", "earlier");
    const auto before = readFile(file);

    // A file size limit kills the writer with SIGXFSZ in the middle of writing the new contents.
    int status = writeOverTheSizeLimit(file, false);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "status " << status;
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(entries(file.parent_path()), 2) << "the half-written temporary file stays behind";

    // With the signal ignored the write fails instead, and takes its own temporary file away.
    status = writeOverTheSizeLimit(file, true);
    ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(entries(file.parent_path()), 2) << "no second temporary file";
}
