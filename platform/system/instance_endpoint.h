#pragma once

// How a second start reaches the running instance of a program: the instance's window listens on a
// copy-data endpoint named after the instance (in CopyDataEndpointFolder()), and the second start sends it
// the raise request there. Only the process that holds the instance lock opens the endpoint.

#include <QString>
#include <cstdint>

// The data word of the raise request; the answer is 1 when a window was brought forward, else 0.
inline constexpr uintptr_t INSTANCE_RAISE_REQUEST = 0x52414953;

// The endpoint path of instance name; "" when the user's runtime folder cannot be used.
QString InstanceEndpointPath(const QString& name);

// Asks the running instance name to show and raise its window, waiting up to timeoutMs for the answer.
// 1 when its window came forward, 0 when it runs without such a window, -1 when nothing answered.
[[nodiscard]] int RequestInstanceRaise(const QString& name, int timeoutMs);
