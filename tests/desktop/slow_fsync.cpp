// Loaded with LD_PRELOAD by the desktop best-score test: fsync(2) takes two seconds longer, as on
// a busy disk or a home folder on the network, and leaves the file KESTRILON_TEST_FSYNC_MARK names,
// so the test can close the game while a save is on its way to the disk.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

extern "C" int fsync(int fd) {
    ::close(::open(std::getenv("KESTRILON_TEST_FSYNC_MARK"), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    ::sleep(2);
    return reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"))(fd);
}
