#pragma once

struct xcb_connection_t;

namespace platform::gtk {

// A connection of its own to the X display that $DISPLAY names, held to learn when that display,
// and with it the session, goes away.
class DisplayConnection {
public:
    DisplayConnection();
    ~DisplayConnection();
    DisplayConnection(const DisplayConnection&) = delete;
    DisplayConnection& operator=(const DisplayConnection&) = delete;

    // False when the display could not be reached or has closed the connection since. Reads
    // whatever the display sent, without waiting.
    bool isOpen();
    // Readable when the display sent something or went away.
    int fileDescriptor() const;

private:
    xcb_connection_t* connection_;
};

} // namespace platform::gtk
