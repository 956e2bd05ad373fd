#include "core/async_lookup.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <new>
#include <string>

#include "platform/system/thread_queue.h"

namespace {

std::atomic<NameLookupFn> g_lookup{nullptr};

NameLookupFn CurrentLookup() {
    NameLookupFn lookup = g_lookup.load();
    return lookup != nullptr ? lookup : getaddrinfo;
}

// One lookup, shared by the waiting worker and the helper thread; the last of the two to let go frees it.
struct Lookup {
    std::string host;
    std::string service;
    struct addrinfo hints {};
    std::atomic<struct addrinfo*> result{nullptr};
    NameLookupFn lookup = nullptr;
    int doneFd = -1;  // readable once the helper has the answer
    std::atomic<int> holders{2};
};

void Release(Lookup* lookup) {
    if (lookup->holders.fetch_sub(1) != 1)
        return;
    if (struct addrinfo* left = lookup->result.load(); left != nullptr)
        freeaddrinfo(left);
    close(lookup->doneFd);
    delete lookup;
}

void* RunLookup(void* arg) {
    auto* lookup = static_cast<Lookup*>(arg);
    struct addrinfo* found = nullptr;
    lookup->lookup(lookup->host.c_str(), lookup->service.c_str(), &lookup->hints, &found);
    lookup->result.store(found);
    uint64_t one = 1;
    ssize_t written = write(lookup->doneFd, &one, sizeof one);
    (void)written;  // an eventfd write of 1 cannot fail short of overflow
    Release(lookup);
    return nullptr;
}

}  // namespace

void SetNameLookup(NameLookupFn lookup) {
    g_lookup.store(lookup);
}

int LookupAddress(const char* host, const char* service, const struct addrinfo* hints,
                  struct addrinfo** result) {
    NameLookupFn blocking = CurrentLookup();
    // A thread without a stop request (the main thread, a test) has nothing to wake it: look up in place.
    if (CurrentThreadStopFd() < 0) {
        blocking(host, service, hints, result);
        return *result != nullptr ? 0 : -1;
    }
    auto* lookup = new (std::nothrow) Lookup();
    if (lookup == nullptr)
        return -1;
    lookup->host = host != nullptr ? host : "";
    lookup->service = service != nullptr ? service : "";
    if (hints != nullptr)
        lookup->hints = *hints;
    lookup->lookup = blocking;
    lookup->doneFd = eventfd(0, EFD_CLOEXEC);
    pthread_attr_t attr;
    pthread_t helper;
    bool started = lookup->doneFd >= 0 && pthread_attr_init(&attr) == 0;
    if (started) {
        pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
        started = pthread_create(&helper, &attr, RunLookup, lookup) == 0;
        pthread_attr_destroy(&attr);
    }
    if (!started) {
        lookup->holders.store(1);
        Release(lookup);
        return -1;
    }
    struct pollfd pfd = {lookup->doneFd, POLLIN, 0};
    int r = PollUntilStop(&pfd, 1, -1);
    int status = -2;
    if (r > 0) {
        // The helper has written its answer and no longer touches the result.
        *result = lookup->result.exchange(nullptr);
        status = *result != nullptr ? 0 : -1;
    } else if (r == -1) {
        status = -1;
    }
    Release(lookup);
    return status;
}
