#include "interface/InterfacePage.h"

#include "interface/Base64.h"
#include "interface/FileContents.h"
#include "interface/FileURL.h"
#include "interface/UTF8.h"

namespace orvia {

std::string replacingFaceToken(std::string_view html, std::string_view dataURL) {
    std::string result;
    std::size_t start = 0;
    for (auto found = html.find(faceToken); found != std::string_view::npos;
         found = html.find(faceToken, start)) {
        result.append(html, start, found - start).append(dataURL);
        start = found + faceToken.size();
    }
    result.append(html, start);
    return result;
}

InterfacePage interfacePage(const std::optional<std::filesystem::path>& htmlFile,
                            const std::optional<std::filesystem::path>& faceImage) {
    if (!htmlFile)
        return {std::string(fallbackPage), std::nullopt};
    auto html = contentsOfFile(*htmlFile);
    if (!html || !isValidUTF8(*html))
        return {std::string(fallbackPage), std::nullopt};

    if (auto face = faceImage ? contentsOfFile(*faceImage) : std::nullopt)
        *html = replacingFaceToken(*html, std::string(faceDataURLPrefix) + base64Encoded(*face));
    return {std::move(*html), fileURLForFolder(htmlFile->parent_path())};
}

} // namespace orvia
