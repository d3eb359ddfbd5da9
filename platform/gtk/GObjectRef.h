#pragma once

#include <glib-object.h>

#include <utility>

namespace platform::gtk {

// Owns one reference to a GObject and drops it when destroyed.
template <typename T> class GObjectRef {
  public:
    GObjectRef() = default;
    // Takes over a reference the caller owns (a floating one is sunk first).
    explicit GObjectRef(T* object) : object_(object) {
        if (object_ && g_object_is_floating(object_))
            g_object_ref_sink(object_);
    }
    ~GObjectRef() { reset(); }

    GObjectRef(GObjectRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GObjectRef& operator=(GObjectRef&& other) noexcept {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }
    GObjectRef(const GObjectRef&) = delete;
    GObjectRef& operator=(const GObjectRef&) = delete;

    T* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

    void reset() {
        if (object_)
            g_object_unref(std::exchange(object_, nullptr));
    }

  private:
    T* object_ = nullptr;
};

} // namespace platform::gtk
