// Watches the X display for the moments the kiosk benchmark times, polling every millisecond and
// printing the wall-clock time (ms since the epoch) or a latency (ms):
//   xprobe pixel X Y RRGGBB           when the screen's pixel at (X, Y) turns that colour
//   xprobe mapped ROLE                when a window of that role is viewable
//   xprobe click CLICK_ROLE ROLE X Y W H
//                                     clicks the middle of the CLICK_ROLE window and prints the
//                                     time until the ROLE window is viewable at that frame
// Each prints "ready" once connected, and exits 1 after 60 s without the event.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

namespace {

struct Frame {
    int x, y, width, height;
    bool operator==(const Frame&) const = default;
};

double nowMilliseconds() {
    using namespace std::chrono;
    return duration<double, std::milli>(system_clock::now().time_since_epoch()).count();
}

std::string role(Display* display, Window window) {
    XTextProperty property{};
    std::string text;
    if (XGetTextProperty(display, window, &property, XInternAtom(display, "WM_WINDOW_ROLE", False)) &&
        property.value) {
        text = reinterpret_cast<const char*>(property.value);
        XFree(property.value);
    }
    return text;
}

std::optional<Window> findViewable(Display* display, Window parent, const std::string& wanted) {
    Window root, up, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count))
        return std::nullopt;
    std::optional<Window> found;
    for (unsigned index = 0; index < count && !found; ++index) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[index], &attributes) || attributes.map_state != IsViewable)
            continue;
        if (role(display, children[index]) == wanted)
            found = children[index];
        else
            found = findViewable(display, children[index], wanted);
    }
    if (children)
        XFree(children);
    return found;
}

Frame frameOf(Display* display, Window window) {
    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    return {x, y, attributes.width, attributes.height};
}

template <typename Condition> bool pollFor(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

int ignoreErrors(Display*, XErrorEvent*) { return 0; }

} // namespace

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (!display || argc < 3)
        return 2;
    // Windows may vanish between listing and asking.
    XSetErrorHandler(ignoreErrors);
    const Window root = DefaultRootWindow(display);
    const std::string mode = argv[1];
    std::puts("ready");
    std::fflush(stdout);

    if (mode == "pixel" && argc == 5) {
        const int x = std::atoi(argv[2]), y = std::atoi(argv[3]);
        const unsigned long colour = std::strtoul(argv[4], nullptr, 16);
        const bool seen = pollFor([&] {
            XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
            if (!image)
                return false;
            const bool match = (XGetPixel(image, 0, 0) & 0xffffff) == colour;
            XDestroyImage(image);
            return match;
        });
        if (!seen)
            return 1;
        std::printf("%.1f\n", nowMilliseconds());
    } else if (mode == "mapped" && argc == 3) {
        if (!pollFor([&] { return findViewable(display, root, argv[2]).has_value(); }))
            return 1;
        std::printf("%.1f\n", nowMilliseconds());
    } else if (mode == "click" && argc == 8) {
        const auto target = findViewable(display, root, argv[2]);
        if (!target)
            return 1;
        const Frame clicked = frameOf(display, *target);
        const Frame wanted{std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]), std::atoi(argv[7])};
        XTestFakeMotionEvent(display, -1, clicked.x + clicked.width / 2, clicked.y + clicked.height / 2, 0);
        XSync(display, False);
        const double start = nowMilliseconds();
        XTestFakeButtonEvent(display, 1, True, 0);
        XTestFakeButtonEvent(display, 1, False, 0);
        XSync(display, False);
        if (!pollFor([&] {
                const auto window = findViewable(display, root, argv[3]);
                return window && frameOf(display, *window) == wanted;
            }))
            return 1;
        std::printf("%.1f\n", nowMilliseconds() - start);
    } else {
        return 2;
    }
    XCloseDisplay(display);
    return 0;
}
