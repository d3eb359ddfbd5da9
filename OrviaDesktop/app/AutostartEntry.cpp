#include "app/AutostartEntry.h"

namespace orvia {

std::string desktopEntryExecValue(std::string_view executablePath) {
    std::string quoted = "\"";
    for (char character : executablePath) {
        if (character == '"' || character == '`' || character == '$' || character == '\\')
            quoted += '\\';
        quoted += character;
    }
    quoted += '"';

    // The key file's string escapes are undone before the quoting, so every backslash the
    // quoting wrote is doubled again here.
    std::string value;
    for (char character : quoted) {
        switch (character) {
        case '\\':
            value += "\\\\";
            break;
        case '\n':
            value += "\\n";
            break;
        case '\t':
            value += "\\t";
            break;
        case '\r':
            value += "\\r";
            break;
        case '%':
            value += "%%";
            break;
        default:
            value += character;
        }
    }
    return value;
}

std::string autostartEntry(std::string_view executablePath) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Orvia Desktop\n"
           "Exec=" +
           desktopEntryExecValue(executablePath) +
           "\n"
           "Terminal=false\n";
}

} // namespace orvia
