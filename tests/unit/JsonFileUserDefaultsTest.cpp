#include "files/JsonFileUserDefaults.h"
#include "TemporaryFolder.h"

#include <csignal>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using nlohmann::json;
using platform::files::JsonFileUserDefaults;

namespace {

// Runs the body in a child process and gives its wait status, so that a test can kill a write
// halfway or drop privileges without touching the test process.
int inChildProcess(const std::function<int()>& body) {
    pid_t child = ::fork();
    if (child == 0)
        ::_exit(body());
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

std::vector<std::filesystem::path> entries(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
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

TEST_F(JsonFileUserDefaultsTest, ValuesSurviveARestartOfTheStoreAndTextThatIsNotUtf8IsStoredWithoutThrowing) {
    const json values = {{"OrviaDesktopGuestMemberID", "orvia-kiosk-1 'quoted' \u2028 \\"},
                         {"OrviaDesktopUpdateNotice.1.4.0", true},
                         {"count", 3},
                         {"nested", {{"list", {1, "two", nullptr}}}}};
    {
        JsonFileUserDefaults defaults(file);
        EXPECT_EQ(defaults.objectForKey("OrviaDesktopGuestMemberID"), std::nullopt);
        for (const auto& [key, value] : values.items())
            defaults.setObject(key, value);
        defaults.setObject("count", 4);
        EXPECT_NO_THROW(defaults.setObject("broken", "caf\xe9"));
    }
    JsonFileUserDefaults restarted(file);
    for (const auto& [key, value] : values.items())
        EXPECT_EQ(restarted.objectForKey(key), key == "count" ? json(4) : value) << key;
    EXPECT_EQ(restarted.stringForKey("broken"), "caf\xef\xbf\xbd");
    EXPECT_EQ(json::parse(readFile(file)).size(), values.size() + 1);
    EXPECT_EQ(entries(file.parent_path()), (std::vector<std::filesystem::path>{"defaults.json"}));
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
    EXPECT_EQ(JsonFileUserDefaults(file).objectForKey("a"), json(3));
}

TEST_F(JsonFileUserDefaultsTest, AFolderThatCannotBeMadeOrWrittenLosesNoValueAndRaisesNothing) {
    // A file where a folder should be: the value is kept for this run.
    writeFile(home / "blocked", "a file");
    JsonFileUserDefaults blocked(home / "blocked" / "defaults.json");
    EXPECT_NO_THROW(blocked.setObject("OrviaDesktopGuestMemberID", "kept in memory"));
    EXPECT_EQ(blocked.stringForKey("OrviaDesktopGuestMemberID"), "kept in memory");

    JsonFileUserDefaults(file).setObject("OrviaDesktopGuestMemberID", "earlier");
    const auto before = readFile(file);
    // The store runs as an unprivileged user (root ignores permission bits) in a folder it may
    // read but not write.
    using std::filesystem::perms;
    std::filesystem::permissions(home.path(), perms::owner_all | perms::others_exec);
    std::filesystem::permissions(home / "config", perms::owner_all | perms::others_exec);
    const auto readOnly = perms::owner_read | perms::owner_exec | perms::others_read | perms::others_exec;
    std::filesystem::permissions(file.parent_path(), readOnly);
    auto status = inChildProcess([&] {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            return 10;
        try {
            JsonFileUserDefaults defaults(file);
            if (defaults.stringForKey("OrviaDesktopGuestMemberID") != "earlier")
                return 11;
            defaults.setObject("OrviaDesktopGuestMemberID", "later");
            defaults.setObject("other", 1);
            return defaults.stringForKey("OrviaDesktopGuestMemberID") == "later" ? 0 : 12;
        } catch (...) {
            return 13;
        }
    });

    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(entries(file.parent_path()), (std::vector<std::filesystem::path>{"defaults.json"}));
    std::filesystem::permissions(file.parent_path(), perms::owner_all);
}

TEST_F(JsonFileUserDefaultsTest, AWriteKilledBeforeTheRenameLeavesTheOldFileWhole) {
    JsonFileUserDefaults(file).setObject("OrviaDesktopGuestMemberID", "earlier");
    const auto before = readFile(file);

    // A file size limit kills the child with SIGXFSZ in the middle of writing the new contents.
    auto status = inChildProcess([&] {
        rlimit noCore{0, 0}, limit{4096, 4096};
        ::setrlimit(RLIMIT_CORE, &noCore);
        ::setrlimit(RLIMIT_FSIZE, &limit);
        JsonFileUserDefaults defaults(file);
        defaults.setObject("big", std::string(1 << 20, 'x'));
        return 0;
    });

    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "status " << status;
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(entries(file.parent_path()).size(), 2u) << "the half-written temporary file stays behind";

    JsonFileUserDefaults restarted(file);
    EXPECT_EQ(restarted.stringForKey("OrviaDesktopGuestMemberID"), "earlier");
    EXPECT_EQ(restarted.objectForKey("big"), std::nullopt);
    restarted.setObject("after", true);
    EXPECT_EQ(JsonFileUserDefaults(file).objectForKey("after"), json(true));
}
