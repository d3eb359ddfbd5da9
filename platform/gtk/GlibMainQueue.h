#pragma once

#include "platform/MainQueue.h"

namespace platform::gtk {

// The default GLib main context, which the application's loop runs.
class GlibMainQueue final : public MainQueue {
  public:
    void async(Task task) override;
    void asyncAfter(std::chrono::duration<double> delay, Task task) override;
};

} // namespace platform::gtk
