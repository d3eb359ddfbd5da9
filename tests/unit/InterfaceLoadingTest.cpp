#include "TemporaryFolder.h"
#include "fake/FakePlatform.h"
#include "interface/FileURL.h"
#include "interface/OrviaWindowController.h"

#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

using orvia::OrviaWindowController;

namespace {

const std::string fallback = "<h1>Orvia interface is unavailable.</h1>";

class InterfaceLoadingTest : public testing::Test {
protected:
    // Creation loads the interface as its last step; later loads show what changed on disk.
    const fake::FakeWebView& load() {
        if (controller)
            controller->loadInterface();
        else
            controller = std::make_unique<OrviaWindowController>(os);
        return *os.webView();
    }

    static std::string folderURL(const std::filesystem::path& folder) {
        return "file://" + folder.string() + "/";
    }

    fake::FakePlatform os;
    std::filesystem::path resources = os.bundle.resources();
    std::unique_ptr<OrviaWindowController> controller;
};

} // namespace

TEST_F(InterfaceLoadingTest, TheFaceTokenBecomesTheImageDataURLWhereverItStandsAndStaysWithoutAnImage) {
    writeFile(resources / "orvia-default.webp", "RIFF\x01\x02\xff");
    const std::string dataURL = "data:image/webp;base64,UklGRgEC/w==";
    const std::pair<std::string, std::string> cases[] = {
        {"<img src=face.webp>", "<img src=face.webp>"},
        {"<img src=\"ORVIA_DEFAULT_FACE_DATA\">", "<img src=\"" + dataURL + "\">"},
        {"ORVIA_DEFAULT_FACE_DATA|ORVIA_DEFAULT_FACE_DATA|ORVIA_DEFAULT_FACE_DATA",
         dataURL + "|" + dataURL + "|" + dataURL},
        {"ORVIA_DEFAULT_FACE_DATAORVIA_DEFAULT_FACE_DATA_DATA", dataURL + dataURL + "_DATA"},
        {"ORVIA_DEFAULT_FACE_ORVIA_DEFAULT_FACE_DATA", "ORVIA_DEFAULT_FACE_" + dataURL},
        {"orvia_default_face_data ORVIA_DEFAULT_FACE_DAT", "orvia_default_face_data ORVIA_DEFAULT_FACE_DAT"},
    };
    for (const auto& [html, loaded] : cases) {
        writeFile(resources / "index.html", html);
        EXPECT_EQ(load().loadedHTML(), loaded) << html;
        EXPECT_EQ(os.webView()->baseURL(), folderURL(resources));
    }

    // An empty image gives the prefix alone, a missing or unreadable one leaves the token.
    const std::string html = "<img src=\"ORVIA_DEFAULT_FACE_DATA\">";
    writeFile(resources / "index.html", html);
    writeFile(resources / "orvia-default.webp", "");
    EXPECT_EQ(load().loadedHTML(), "<img src=\"data:image/webp;base64,\">");
    std::filesystem::remove(resources / "orvia-default.webp");
    EXPECT_EQ(load().loadedHTML(), html);
    std::filesystem::create_directory(resources / "orvia-default.webp");
    EXPECT_EQ(load().loadedHTML(), html);
}

TEST_F(InterfaceLoadingTest, HtmlThatCannotBeHadGivesTheFallbackPageWithoutABase) {
    const std::pair<std::string, std::function<void()>> cases[] = {
        {"missing", [] {}},
        {"latin-1", [&] { writeFile(resources / "index.html", "<p>caf\xe9</p>"); }},
        {"a directory", [&] { std::filesystem::create_directory(resources / "index.html"); }},
        {"a FIFO without a writer", [&] { ::mkfifo((resources / "index.html").c_str(), 0644); }},
    };
    for (const auto& [what, arrange] : cases) {
        std::filesystem::remove_all(resources / "index.html");
        arrange();
        EXPECT_EQ(load().loadedHTML(), fallback) << what;
        EXPECT_EQ(os.webView()->baseURL(), std::nullopt) << what;
    }
}

TEST_F(InterfaceLoadingTest, HtmlFoundBesideTheExecutableIsBasedInThatFolderAndLoadedAsCreationsLastStep) {
    writeFile(os.bundle.path / "index.html",
              "<img src=\"ORVIA_DEFAULT_FACE_DATA\"><script src=app.js></script>");
    writeFile(os.bundle.path / "orvia-default.webp", "f");

    EXPECT_EQ(load().loadedHTML(), "<img src=\"data:image/webp;base64,Zg==\"><script src=app.js></script>");
    EXPECT_EQ(os.webView()->baseURL(), folderURL(os.bundle.path));
    EXPECT_EQ(os.log.linesStartingWith("web.loadHTMLString").size(), 1u);
    EXPECT_TRUE(os.log.lines().back().starts_with("web.loadHTMLString base=" + folderURL(os.bundle.path)));
}

TEST(FileURL, IsAbsoluteEndsInASlashAndEncodesWhatAURLPathCannotHold) {
    const std::pair<std::filesystem::path, std::string> cases[] = {
        {"/opt/orvia/Resources", "file:///opt/orvia/Resources/"},
        {"/opt/orvia/Resources/", "file:///opt/orvia/Resources/"},
        {"/", "file:///"},
        {"/opt/./orvia/../kiosk", "file:///opt/kiosk/"},
        {"/my kiosk/#1?x=%20", "file:///my%20kiosk/%231%3Fx=%2520/"},
        {"/caf\xc3\xa9/\"quoted\"", "file:///caf%C3%A9/%22quoted%22/"},
        {"/a/b;c,d@e+f~g", "file:///a/b;c,d@e+f~g/"},
    };
    for (const auto& [folder, url] : cases)
        EXPECT_EQ(orvia::fileURLForFolder(folder), url) << folder;

    auto relative = orvia::fileURLForFolder("relative/folder");
    EXPECT_EQ(relative, "file://" + std::filesystem::current_path().string() + "/relative/folder/");
}
