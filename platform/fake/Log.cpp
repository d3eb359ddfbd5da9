#include "fake/Log.h"

#include <cstdio>

namespace fake {

void Log::add(std::string line) {
    if (std::this_thread::get_id() != m_mainThread)
        line.insert(0, "[worker] ");
    m_lines.push_back(std::move(line));
}

std::vector<std::string> Log::take() {
    std::vector<std::string> fresh(m_lines.begin() + static_cast<std::ptrdiff_t>(m_taken), m_lines.end());
    m_taken = m_lines.size();
    return fresh;
}

std::vector<std::string> Log::linesStartingWith(const std::string& prefix) const {
    std::vector<std::string> matching;
    for (const auto& line : m_lines)
        if (line.starts_with(prefix))
            matching.push_back(line);
    return matching;
}

std::string yesNo(bool value) {
    return value ? "YES" : "NO";
}

std::string number(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

std::string describe(const platform::Color& color) {
    return number(color.red) + "," + number(color.green) + "," + number(color.blue) + "," +
           number(color.alpha);
}

} // namespace fake
