// Loaded by the desktop best-score test with LD_PRELOAD: every fsync(2) takes a second longer,
// as on a disk spinning up, and the first one leaves the file named by KESTRILON_TEST_FSYNC_MARK,
// so the test can close the game while a save is on its way to the disk.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

extern "C" int fsync(int fd) {
    if (const char* mark = std::getenv("KESTRILON_TEST_FSYNC_MARK"); mark != nullptr) {
        ::close(::open(mark, O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    using Fsync = int (*)(int);
    static const auto next = reinterpret_cast<Fsync>(::dlsym(RTLD_NEXT, "fsync"));
    return next(fd);
}
