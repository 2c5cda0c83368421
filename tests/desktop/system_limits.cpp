// Loaded with LD_PRELOAD by the desktop controller test: a system at its limits refuses what
// KESTRILON_TEST_REFUSE names, "threads" (to every thread but the main one) or "eventfd".
#include <dlfcn.h>
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

static bool refused(std::string_view what) {
    const char* names = std::getenv("KESTRILON_TEST_REFUSE");
    return names != nullptr && names == what;
}

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes,
                              void* (*start)(void*), void* argument) {
    using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    return refused("threads") && gettid() != getpid()
               ? EAGAIN
               : reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"))(thread, attributes,
                                                                              start, argument);
}

extern "C" int eventfd(unsigned int value, int flags) {
    if (refused("eventfd")) {
        errno = EMFILE;
        return -1;
    }
    return reinterpret_cast<int (*)(unsigned, int)>(dlsym(RTLD_NEXT, "eventfd"))(value, flags);
}
