#include "GlibMainQueue.h"

#include "CallbackGuard.h"

#include <glib.h>

#include <cmath>
#include <limits>

namespace platform::gtk {

namespace {

gboolean runTask(gpointer data) {
    callFromC([data] { (*static_cast<MainQueue::Task*>(data))(); });
    return G_SOURCE_REMOVE;
}

void deleteTask(gpointer data) {
    delete static_cast<MainQueue::Task*>(data);
}

// Whole milliseconds, rounded up so a task never runs early.
guint milliseconds(std::chrono::duration<double> delay) {
    const double value = std::ceil(delay.count() * 1000.0);
    if (!(value > 0))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<guint>::max()))
        return std::numeric_limits<guint>::max();
    return static_cast<guint>(value);
}

} // namespace

void GlibMainQueue::async(Task task) {
    if (!task)
        return;
    // g_idle_add_full is safe from any thread: it attaches to the default context, which wakes up.
    g_idle_add_full(G_PRIORITY_DEFAULT, runTask, new Task(std::move(task)), deleteTask);
}

void GlibMainQueue::asyncAfter(std::chrono::duration<double> delay, Task task) {
    if (!task)
        return;
    g_timeout_add_full(G_PRIORITY_DEFAULT, milliseconds(delay), runTask, new Task(std::move(task)),
                       deleteTask);
}

// GLib's timeouts run on this clock.
std::chrono::duration<double> GlibMainQueue::uptime() const {
    return std::chrono::microseconds(g_get_monotonic_time());
}

} // namespace platform::gtk
