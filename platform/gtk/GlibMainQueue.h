#pragma once

#include "platform/MainQueue.h"

namespace platform::gtk {

// The default GLib main context, which the application's loop runs.
class GlibMainQueue final : public MainQueue {
public:
    void async(Task task) override;
    void asyncAfter(std::chrono::duration<double> delay, Task task) override;
    std::chrono::duration<double> uptime() const override;
};

} // namespace platform::gtk
