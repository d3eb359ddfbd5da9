#include "app/LaunchAgentPropertyList.h"

namespace orvia {

namespace {

std::string xmlEscaped(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char character : text) {
        switch (character) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&apos;";
            break;
        default:
            escaped += character;
        }
    }
    return escaped;
}

} // namespace

std::string launchAgentPropertyList(std::string_view label, std::string_view bundlePath) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\"><dict>\n"
           "  <key>Label</key><string>" +
           xmlEscaped(label) +
           "</string>\n"
           "  <key>ProgramArguments</key><array><string>" +
           xmlEscaped(bundlePath) +
           "/Contents/MacOS/OrviaDesktop</string></array>\n"
           "  <key>RunAtLoad</key><true/>\n"
           "  <key>KeepAlive</key><false/>\n"
           "</dict></plist>";
}

} // namespace orvia
