#include "TemporaryFolder.h"
#include "fake/FakePlatform.h"
#include "interface/ResourceLookup.h"
#include "resource_bundle_accessor/ResourceBundleAccessor.h"

#include <gtest/gtest.h>

using orvia::findResource;
using orvia::ResourceBundle;

TEST(ResourceBundleAccessor, TheBundleBesideTheExecutableComesFirstAndIsOpenedOnceForTheWholeRun) {
    fake::FakeBundle mainBundle;
    const auto locations = orvia::resourceBundleLocations(mainBundle);
    EXPECT_EQ(locations.first, mainBundle.path / "OrviaDesktop_OrviaDesktop.bundle");
    EXPECT_TRUE(locations.second.is_absolute());
    EXPECT_EQ(locations.second.filename(), "OrviaDesktop_OrviaDesktop.bundle");

    const auto& opened = orvia::module(mainBundle);
    EXPECT_EQ(opened.bundlePath(), locations.first);
    std::filesystem::remove_all(locations.first);
    EXPECT_EQ(&orvia::module(mainBundle), &opened);
}

TEST(ResourceBundleAccessor, OpensTheFirstLocationThatIsADirectory) {
    TemporaryFolder folder;
    orvia::ResourceBundleLocations locations{folder / "first", folder / "second"};

    EXPECT_EQ(orvia::openResourceBundle(locations), std::nullopt);
    writeFile(folder / "first", "a file is no bundle");
    EXPECT_EQ(orvia::openResourceBundle(locations), std::nullopt);
    std::filesystem::create_directory(folder / "second");
    EXPECT_EQ(orvia::openResourceBundle(locations)->bundlePath(), folder / "second");
    std::filesystem::remove(folder / "first");
    std::filesystem::create_directory(folder / "first");
    EXPECT_EQ(orvia::openResourceBundle(locations)->bundlePath(), folder / "first");
}

namespace {

// A resource bundle opened from the build-time location, apart from the main bundle, so that its
// own lookup and the candidates beside the executable are different places.
class ResourceLookupTest : public testing::Test {
protected:
    ResourceLookupTest() { std::filesystem::create_directories(installed / "Resources"); }

    std::optional<std::filesystem::path> find(const std::string& name, const std::string& extension) {
        return findResource(*ResourceBundle::open(installed), mainBundle, name, extension);
    }

    TemporaryFolder folder;
    std::filesystem::path installed = folder / "installed" / orvia::resourceBundleName;
    std::filesystem::path mainBundle = folder / "main";
    std::filesystem::path besideExecutable = mainBundle / orvia::resourceBundleName;
};

} // namespace

TEST_F(ResourceLookupTest, EachPlaceIsFoundOnlyWhenTheEarlierOnesMissAndOnlyByItsExactName) {
    writeFile(mainBundle / "index.htm", "<p>");
    writeFile(mainBundle / "Index.html", "<p>");
    writeFile(installed / "index.html", "<p>"); // outside the bundle's "Resources"
    EXPECT_EQ(find("index", "html"), std::nullopt);

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
        EXPECT_EQ(find("index", "html"), place);
    }
    EXPECT_EQ(find("orvia-default", "webp"), std::nullopt);
}

TEST_F(ResourceLookupTest, WithoutAMainResourceFolderOnlyTheResourceBundleIsAsked) {
    writeFile(mainBundle / "index.html", "<p>");
    auto bundle = *ResourceBundle::open(installed);
    EXPECT_EQ(findResource(bundle, std::nullopt, "index", "html"), std::nullopt);
    writeFile(installed / "Resources" / "index.html", "<p>");
    EXPECT_EQ(findResource(bundle, std::nullopt, "index", "html"), installed / "Resources" / "index.html");
}
