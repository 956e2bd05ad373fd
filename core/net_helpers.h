#pragma once

#include <netdb.h>
#include <sys/socket.h>

constexpr int CONNECT_TIMEOUT_SECONDS = 3;

// Connects sock to addr, waiting at most CONNECT_TIMEOUT_SECONDS (and no longer than the calling worker's
// stop request). 0 only when the connection was established; a refused connection fails at once. The
// socket stays open either way (the caller closes it) and is left blocking.
int ConnectWithTimeout(const struct sockaddr* addr, int sock, socklen_t addrLength);

// getaddrinfo for an IPv4 TCP address; 0 when a result came back (free it with freeaddrinfo), else -1.
int ResolveTcpAddress(const char* host, const char* service, struct addrinfo** result);

#include <string>

// Reads an endpoint setting of the form "host" or "host:port" from the environment variable; unset or
// empty gives defaultHost and defaultPort. 0, or -1 when the port is not a number from 1 to 65535.
[[nodiscard]] int ReadEndpointSetting(const char* variable, const char* defaultHost, int defaultPort,
                                      std::string* host, int* port);
