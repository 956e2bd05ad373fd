#include "platform/libav/libav_on_demand.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cstdio>
#include <mutex>

#include "platform/libav/libav_table.h"

namespace {

// The names the libraries were linked under at build time (their major version).
constexpr const char* kLibraries[] = {
    "libavutil.so." AV_STRINGIFY(LIBAVUTIL_VERSION_MAJOR),
    "libavcodec.so." AV_STRINGIFY(LIBAVCODEC_VERSION_MAJOR),
    "libavformat.so." AV_STRINGIFY(LIBAVFORMAT_VERSION_MAJOR),
};
constexpr int kLibraryCount = sizeof kLibraries / sizeof kLibraries[0];

LibavTable g_table;
std::once_flag g_loadOnce;
bool g_complete = false;

// Opens the libraries (they stay loaded until the process ends) and looks up every function.
void Load() {
    void* handles[kLibraryCount] = {};
    for (int i = 0; i < kLibraryCount; ++i) {
        handles[i] = dlopen(kLibraries[i], RTLD_NOW | RTLD_LOCAL);
        if (handles[i] == nullptr)
            std::fprintf(stderr, "Vistal: %s could not be loaded (%s): no video is decoded or recorded\n",
                         kLibraries[i], dlerror());
    }
    bool complete = true;
#define VISTAL_LIBAV_RESOLVE(library, name)                                                                  \
    if (handles[library] != nullptr)                                                                         \
        g_table.name = reinterpret_cast<decltype(g_table.name)>(dlsym(handles[library], #name));             \
    if (g_table.name == nullptr) {                                                                           \
        complete = false;                                                                                    \
        if (handles[library] != nullptr)                                                                     \
            std::fprintf(stderr, "Vistal: %s has no %s: it is not the version this program was built for\n", \
                         kLibraries[library], #name);                                                        \
    }
    VISTAL_LIBAV_FUNCTIONS(VISTAL_LIBAV_RESOLVE)
#undef VISTAL_LIBAV_RESOLVE
    g_complete = complete;
}

void* LoadOnItsOwnThread(void*) {
    pthread_setname_np(pthread_self(), "libav load");
    static_cast<void>(LibavLoaded());
    return nullptr;
}

}  // namespace

const LibavTable& Libav() {
    std::call_once(g_loadOnce, Load);
    return g_table;
}

bool LibavLoaded() {
    std::call_once(g_loadOnce, Load);
    return g_complete;
}

int StartLibavLoading() {
    // One loading thread at most: later calls find the libraries loaded or loading.
    static std::atomic<bool> once{false};
    if (once.exchange(true))
        return 0;
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0)
        return -1;
    pthread_t thread;
    int started = pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED) == 0 &&
                          pthread_create(&thread, &attributes, LoadOnItsOwnThread, nullptr) == 0
                      ? 0
                      : -1;
    pthread_attr_destroy(&attributes);
    return started;
}
