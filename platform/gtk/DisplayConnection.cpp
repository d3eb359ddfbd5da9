#include "DisplayConnection.h"

#include <cstdlib>
#include <xcb/xcb.h>

namespace platform::gtk {

DisplayConnection::DisplayConnection() : connection_(xcb_connect(nullptr, nullptr)) {}

DisplayConnection::~DisplayConnection() {
    xcb_disconnect(connection_);
}

bool DisplayConnection::isOpen() {
    // Nothing was asked for, but every client gets some events (keyboard mapping changes).
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_))
        std::free(event);
    return xcb_connection_has_error(connection_) == 0;
}

int DisplayConnection::fileDescriptor() const {
    return xcb_get_file_descriptor(connection_);
}

} // namespace platform::gtk
