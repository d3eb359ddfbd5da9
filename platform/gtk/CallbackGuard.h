#pragma once

namespace platform::gtk {

// Runs program code from a C callback. An exception must not unwind through GLib's frames, and
// the program reports nothing of its failures, so it ends here.
template <typename Function> void callFromC(Function&& function) noexcept {
    try {
        function();
    } catch (...) {
    }
}

} // namespace platform::gtk
