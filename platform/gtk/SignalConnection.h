#pragma once

#include <glib-object.h>

namespace platform::gtk {

// One signal handler, disconnected when the connection is destroyed. The instance must outlive
// the connection.
class SignalConnection {
  public:
    SignalConnection() = default;
    template <typename Callback>
    SignalConnection(gpointer instance, const char* signal, Callback* callback, gpointer data)
        : SignalConnection(instance, signal, reinterpret_cast<GCallback>(callback), data) {}
    SignalConnection(gpointer instance, const char* signal, GCallback callback, gpointer data);
    ~SignalConnection() { disconnect(); }

    SignalConnection(SignalConnection&& other) noexcept;
    SignalConnection& operator=(SignalConnection&& other) noexcept;
    SignalConnection(const SignalConnection&) = delete;
    SignalConnection& operator=(const SignalConnection&) = delete;

    void disconnect();

  private:
    gpointer instance_ = nullptr;
    gulong id_ = 0;
};

} // namespace platform::gtk
