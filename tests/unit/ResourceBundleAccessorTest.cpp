#include "resource_bundle_accessor/ResourceBundleAccessor.h"
#include "TemporaryFolder.h"
#include "fake/FakePlatform.h"

#include <gtest/gtest.h>

using orvia::openResourceBundle;
using orvia::ResourceBundleLocations;

TEST(ResourceBundleAccessor, TheFirstLocationIsBesideTheExecutableTheSecondAnAbsoluteInstallPath) {
    fake::FakeBundle mainBundle;
    mainBundle.path = "/opt/kiosk/lib";
    auto locations = orvia::resourceBundleLocations(mainBundle);

    EXPECT_EQ(locations.first, "/opt/kiosk/lib/OrviaDesktop_OrviaDesktop.bundle");
    EXPECT_TRUE(locations.second.is_absolute());
    EXPECT_EQ(locations.second.filename(), "OrviaDesktop_OrviaDesktop.bundle");
}

TEST(ResourceBundleAccessor, OpensTheFirstLocationThatIsADirectory) {
    TemporaryFolder folder;
    ResourceBundleLocations locations{folder / "first", folder / "second"};

    EXPECT_EQ(openResourceBundle(locations), std::nullopt);
    writeFile(folder / "first", "a file is no bundle");
    EXPECT_EQ(openResourceBundle(locations), std::nullopt);
    std::filesystem::create_directory(folder / "second");
    EXPECT_EQ(openResourceBundle(locations)->bundlePath(), folder / "second");
    std::filesystem::remove(folder / "first");
    std::filesystem::create_directory(folder / "first");
    EXPECT_EQ(openResourceBundle(locations)->bundlePath(), folder / "first");
}

TEST(ResourceBundleAccessor, OpensOnceAndKeepsTheBundleWhenItsFolderGoesLater) {
    fake::FakeBundle mainBundle;
    const auto& opened = orvia::module(mainBundle);
    EXPECT_EQ(opened.bundlePath(), mainBundle.path / "OrviaDesktop_OrviaDesktop.bundle");

    std::filesystem::remove_all(mainBundle.path / "OrviaDesktop_OrviaDesktop.bundle");
    EXPECT_EQ(&orvia::module(mainBundle), &opened);
}
