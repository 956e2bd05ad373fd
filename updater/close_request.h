#pragma once

#include <cstdint>

// The data word of the WM_COPYDATA message with which the updater asks a running client to close. The
// message carries no data besides it; the client's main window ends at once when it receives it.
constexpr uintptr_t COPYDATA_CLOSE_REQUEST = 0x7156BCDA;

// The client's executable name, compared with running processes ignoring letter case.
inline constexpr char CLIENT_EXECUTABLE_NAME[] = "Vistal";
