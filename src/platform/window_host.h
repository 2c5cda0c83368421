// The window seam: what the prompt window needs of a windowing system.
#pragma once

namespace platform {

class WindowHost {
  public:
    virtual ~WindowHost() = default;
    // Any thread: ask for a repaint of the whole client area; the paint runs on the window thread.
    virtual void invalidate() = 0;
};

} // namespace platform
