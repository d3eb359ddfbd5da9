#include "interface/FileURL.h"

#include <string_view>

namespace orvia {

namespace {

bool allowedInPath(unsigned char byte) {
    static constexpr std::string_view punctuation = "-._~!$&'()*+,;=:@/";
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
           punctuation.find(static_cast<char>(byte)) != std::string_view::npos;
}

} // namespace

std::string fileURLForFolder(const std::filesystem::path& folder) {
    std::error_code error;
    auto absolute = std::filesystem::absolute(folder, error);
    std::string path = (error ? folder : absolute).lexically_normal().string();
    if (path.empty() || path.back() != '/')
        path += '/';

    static constexpr char hex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char byte : path) {
        if (allowedInPath(byte)) {
            url += static_cast<char>(byte);
        } else {
            url += '%';
            url += hex[byte >> 4];
            url += hex[byte & 0x0F];
        }
    }
    return url;
}

} // namespace orvia
