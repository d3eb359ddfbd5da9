#include "files/ExecutableFolderBundle.h"

#include <gtest/gtest.h>

using platform::files::ExecutableFolderBundle;

TEST(ExecutableFolderBundle, TheBundleIsTheFolderOfTheRunningExecutable) {
    auto running = ExecutableFolderBundle::runningExecutable();
    EXPECT_TRUE(running.is_absolute());
    EXPECT_EQ(running.filename(), "orvia_unit_tests");

    ExecutableFolderBundle bundle(running, {{"CFBundleShortVersionString", "1.0.0"}});
    EXPECT_EQ(bundle.bundlePath(), running.parent_path());
    EXPECT_EQ(bundle.executablePath(), running);
}

TEST(ExecutableFolderBundle, GivesOnlyTheKeysOfItsInfoDictionary) {
    ExecutableFolderBundle bundle("/opt/orvia/OrviaDesktop", {{"CFBundleShortVersionString", "2.4.1"}});
    EXPECT_EQ(bundle.objectForInfoDictionaryKey("CFBundleShortVersionString"), nlohmann::json("2.4.1"));
    EXPECT_EQ(bundle.objectForInfoDictionaryKey("CFBundleVersion"), std::nullopt);
    EXPECT_EQ(ExecutableFolderBundle("/x/y", nlohmann::json::array()).objectForInfoDictionaryKey("a"),
              std::nullopt);
}
