// Present requests merged into one: the game draws a row as a burst of blits, and each would
// otherwise be a present of its own. Every window host keeps one.
#pragma once

#include <atomic>

namespace platform {

class PresentRequests {
  public:
    // Any thread. True for the first request since the window thread last took them: the caller
    // wakes the window thread then, and only then.
    bool request() { return !pending_.exchange(true); }
    // Window thread: whether a present is due; the requests so far are answered by it.
    bool take() { return pending_.exchange(false); }

  private:
    std::atomic<bool> pending_{false};
};

} // namespace platform
