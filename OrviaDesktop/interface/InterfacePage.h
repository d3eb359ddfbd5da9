#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace orvia {

inline constexpr std::string_view faceToken = "ORVIA_DEFAULT_FACE_DATA";
inline constexpr std::string_view faceDataURLPrefix = "data:image/webp;base64,";
inline constexpr std::string_view fallbackPage = "<h1>Orvia interface is unavailable.</h1>";

// What the web view is given: the HTML text and the URL its relative references resolve against.
struct InterfacePage {
    std::string html;
    std::optional<std::string> baseURL;

    bool operator==(const InterfacePage&) const = default;
};

// The interface HTML with the face image embedded, based in the HTML's folder; the fallback page,
// with no base, when the HTML is absent, unreadable or not UTF-8. An absent or unreadable face
// leaves the token as it is.
InterfacePage interfacePage(const std::optional<std::filesystem::path>& htmlFile,
                            const std::optional<std::filesystem::path>& faceImage);

// Every non-overlapping occurrence of the face token, from the start, replaced by the data URL.
std::string replacingFaceToken(std::string_view html, std::string_view dataURL);

} // namespace orvia
