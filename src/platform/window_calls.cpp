#include "platform/window_calls.h"

namespace platform {

void WindowCalls::run(const std::function<void()>& call, const std::function<void()>& wake) {
    if (onWindowThread()) {
        call();
        return;
    }
    std::packaged_task<void()> task(call);
    std::future<void> done = task.get_future();
    {
        std::lock_guard guard(lock_);
        queued_.push_back(std::move(task));
    }
    wake();
    done.wait();
}

void WindowCalls::runQueued() {
    std::deque<std::packaged_task<void()>> batch;
    {
        std::lock_guard guard(lock_);
        batch.swap(queued_);
    }
    for (auto& task : batch) {
        task();
    }
}

bool WindowCalls::anyQueued() {
    std::lock_guard guard(lock_);
    return !queued_.empty();
}

} // namespace platform
