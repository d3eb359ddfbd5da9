#pragma once

#include "platform/Color.h"

#include <string>
#include <vector>

namespace fake {

// The platform calls made so far, one readable line each, in order.
class Log {
public:
    void add(std::string line) { m_lines.push_back(std::move(line)); }
    const std::vector<std::string>& lines() const { return m_lines; }
    // The lines since the last take, so a test can check one step at a time.
    std::vector<std::string> take();
    std::vector<std::string> linesStartingWith(const std::string& prefix) const;

private:
    std::vector<std::string> m_lines;
    std::size_t m_taken = 0;
};

std::string yesNo(bool value);
// Short decimal forms for log lines: "0.01", "112", "0.08,0.32,0.36,1".
std::string number(double value);
std::string describe(const platform::Color& color);

} // namespace fake
