#include "SignalConnection.h"

#include <utility>

namespace platform::gtk {

SignalConnection::SignalConnection(gpointer instance, const char* signal, GCallback callback, gpointer data)
    : instance_(instance),
      id_(g_signal_connect_data(instance, signal, callback, data, nullptr, GConnectFlags{})) {}

SignalConnection::SignalConnection(SignalConnection&& other) noexcept
    : instance_(std::exchange(other.instance_, nullptr)), id_(std::exchange(other.id_, 0)) {}

SignalConnection& SignalConnection::operator=(SignalConnection&& other) noexcept {
    if (this != &other) {
        disconnect();
        instance_ = std::exchange(other.instance_, nullptr);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

void SignalConnection::disconnect() {
    if (instance_ && id_ != 0)
        g_signal_handler_disconnect(instance_, id_);
    instance_ = nullptr;
    id_ = 0;
}

} // namespace platform::gtk
