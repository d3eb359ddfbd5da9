#pragma once

#include "platform/Color.h"

#include <string>
#include <thread>
#include <vector>

namespace fake {

// The platform calls made so far, one readable line each, in order. A call made on any thread but
// the one that made the log (the main thread) is marked "[worker] ", so a test sees work that
// should have been handed to the main queue.
class Log {
public:
    void add(std::string line);
    const std::vector<std::string>& lines() const { return m_lines; }
    // The lines since the last take, so a test can check one step at a time.
    std::vector<std::string> take();
    std::vector<std::string> linesStartingWith(const std::string& prefix) const;

private:
    std::thread::id m_mainThread = std::this_thread::get_id();
    std::vector<std::string> m_lines;
    std::size_t m_taken = 0;
};

std::string yesNo(bool value);
// Short decimal forms for log lines: "0.01", "112", "0.08,0.32,0.36,1".
std::string number(double value);
std::string describe(const platform::Color& color);

} // namespace fake
