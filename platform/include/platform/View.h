#pragma once

namespace platform {

// Something a window shows as its content. Each backend knows its own views.
class View {
public:
    virtual ~View() = default;
};

} // namespace platform
