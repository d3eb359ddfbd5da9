#include "interface/ResourceLookup.h"
#include "TemporaryFolder.h"
#include "resource_bundle_accessor/ResourceBundleAccessor.h"

#include <gtest/gtest.h>

using orvia::findResource;
using orvia::ResourceBundle;

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

TEST_F(ResourceLookupTest, EachPlaceIsFoundOnlyWhenTheEarlierOnesMiss) {
    // From the last place to the first: each newly made file must win from then on.
    const std::filesystem::path places[] = {
        mainBundle / "index.html",
        besideExecutable / "index.html",
        besideExecutable / "Resources" / "index.html",
        installed / "Resources" / "index.html",
    };
    EXPECT_EQ(find("index", "html"), std::nullopt);
    for (const auto& place : places) {
        writeFile(place, "<p>");
        EXPECT_EQ(find("index", "html"), place);
    }
}

TEST_F(ResourceLookupTest, ADirectoryCountsAsFoundAndOtherNamesDoNot) {
    std::filesystem::create_directories(besideExecutable / "index.html");
    writeFile(mainBundle / "index.htm", "<p>");
    writeFile(mainBundle / "Index.html", "<p>");
    writeFile(installed / "index.html", "<p>"); // outside the bundle's "Resources"

    EXPECT_EQ(find("index", "html"), besideExecutable / "index.html");
    EXPECT_EQ(find("orvia-default", "webp"), std::nullopt);
}

TEST_F(ResourceLookupTest, WithoutAMainResourceFolderOnlyTheResourceBundleIsAsked) {
    writeFile(mainBundle / "index.html", "<p>");
    auto bundle = *ResourceBundle::open(installed);
    EXPECT_EQ(findResource(bundle, std::nullopt, "index", "html"), std::nullopt);
    writeFile(installed / "Resources" / "index.html", "<p>");
    EXPECT_EQ(findResource(bundle, std::nullopt, "index", "html"), installed / "Resources" / "index.html");
}
