#include "TemporaryFolder.h"
#include "fake/FakePlatform.h"
#include "interface/ResourceLookup.h"
#include "resource_bundle_accessor/ResourceBundleAccessor.h"

#include <gtest/gtest.h>

using orvia::findResource;
using orvia::ResourceBundle;

TEST(ResourceBundleAccessor, TheBundleBesideTheExecutableComesFirstAndIsOpenedOnceForTheWholeRun) {
    // Both places are named in the message of a launch that finds neither, which is checked end to end.
    fake::FakeBundle mainBundle;
    const auto& opened = orvia::module(mainBundle);
    EXPECT_EQ(opened.bundlePath(), mainBundle.path / "OrviaDesktop_OrviaDesktop.bundle");
    std::filesystem::remove_all(opened.bundlePath());
    EXPECT_EQ(&orvia::module(mainBundle), &opened);

    // The first location that is a directory is opened.
    TemporaryFolder folder;
    const orvia::ResourceBundleLocations candidates{folder / "first", folder / "second"};
    EXPECT_EQ(orvia::openResourceBundle(candidates), std::nullopt);
    writeFile(folder / "first", "a file is no bundle");
    EXPECT_EQ(orvia::openResourceBundle(candidates), std::nullopt);
    std::filesystem::create_directory(folder / "second");
    EXPECT_EQ(orvia::openResourceBundle(candidates)->bundlePath(), folder / "second");
    std::filesystem::remove(folder / "first");
    std::filesystem::create_directory(folder / "first");
    EXPECT_EQ(orvia::openResourceBundle(candidates)->bundlePath(), folder / "first");
}

// A resource bundle opened from the build-time location, apart from the main bundle, so that its own
// lookup and the candidates beside the executable are different places.
TEST(ResourceLookup, EachPlaceIsFoundOnlyWhenTheEarlierOnesMissAndOnlyByItsExactName) {
    TemporaryFolder folder;
    const auto installed = folder / "installed" / orvia::resourceBundleName;
    const auto mainBundle = folder / "main";
    const auto besideExecutable = mainBundle / orvia::resourceBundleName;
    std::filesystem::create_directories(installed / "Resources");
    const auto bundle = *ResourceBundle::open(installed);
    const auto find = [&] { return findResource(bundle, mainBundle, "index", "html"); };

    writeFile(mainBundle / "index.htm", "<p>");
    writeFile(mainBundle / "Index.html", "<p>");
    writeFile(installed / "index.html", "<p>"); // outside the bundle's "Resources"
    EXPECT_EQ(find(), std::nullopt);

    // From the last place to the first: each newly made file (a directory too) must win from then on.
    const std::filesystem::path places[] = {
        mainBundle / "index.html",
        besideExecutable / "index.html",
        besideExecutable / "Resources" / "index.html",
        installed / "Resources" / "index.html",
    };
    for (const auto& place : places) {
        if (place == places[1])
            std::filesystem::create_directories(place);
        else
            writeFile(place, "<p>");
        EXPECT_EQ(find(), place);
    }

    // Without a main resource folder only the resource bundle is asked.
    EXPECT_EQ(findResource(bundle, std::nullopt, "index", "html"), places[3]);
    std::filesystem::remove(places[3]);
    EXPECT_EQ(findResource(bundle, std::nullopt, "index", "html"), std::nullopt);
}
