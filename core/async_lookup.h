#pragma once

// Name lookups that the calling worker can walk away from. A lookup runs on a helper thread of its own;
// the worker waits for it together with its stop request, so a host whose name server never answers
// cannot hold a worker (and whoever stops it) past the stop. A lookup left behind finishes on its helper
// thread, which then frees everything it holds.

#include <netdb.h>

// The blocking lookup behind LookupAddress; getaddrinfo's shape. Its result is freed with freeaddrinfo.
using NameLookupFn = int (*)(const char* host, const char* service, const struct addrinfo* hints,
                             struct addrinfo** result);

// Replaces the blocking lookup (nullptr restores getaddrinfo). Lets tests stand in a name server that
// never answers without sending anything on the network.
void SetNameLookup(NameLookupFn lookup);

// Looks host and service up with hints. 0 with *result set (free it with freeaddrinfo); -1 when nothing
// came back; -2 when the calling thread was asked to stop first (*result stays null).
[[nodiscard]] int LookupAddress(const char* host, const char* service, const struct addrinfo* hints,
                                struct addrinfo** result);
