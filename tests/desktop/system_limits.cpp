// Loaded with LD_PRELOAD by the desktop controller test: a system at its limits. What
// KESTRILON_TEST_REFUSE names is refused: "threads", a new thread to every thread but the main
// one (EAGAIN, as under a limit on threads); "eventfd", every eventfd (EMFILE, as when the
// process has all the descriptors it may have).
#include <dlfcn.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

bool refused(const char* what) {
    const char* names = std::getenv("KESTRILON_TEST_REFUSE");
    return names != nullptr && std::strcmp(names, what) == 0;
}

} // namespace

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes,
                              void* (*start)(void*), void* argument) {
    if (refused("threads") && gettid() != getpid()) {
        return EAGAIN;
    }
    using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    return reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"))(thread, attributes, start,
                                                                        argument);
}

extern "C" int eventfd(unsigned int value, int flags) {
    if (refused("eventfd")) {
        errno = EMFILE;
        return -1;
    }
    return reinterpret_cast<int (*)(unsigned int, int)>(dlsym(RTLD_NEXT, "eventfd"))(value, flags);
}
