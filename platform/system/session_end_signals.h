#pragma once

// SIGTERM, SIGINT and SIGHUP (a desktop logout, a shutdown, Ctrl+C in a terminal) are the desktop's
// end-of-session message. The handler does only what is safe in a handler: it writes the signal's number
// to a pipe that the UI thread watches, and on the first signal it arms a bound after which the process
// ends (SIGALRM's default action) whatever its orderly shut-down is doing. No Qt: the owner watches ReadFd()
// with its own loop (a socket notifier) and calls TakeSessionEndSignal when it is readable.

// Installs the handlers; boundSeconds is the time the shut-down is given. 0, or -1 (nothing installed).
[[nodiscard]] int InstallSessionEndSignals(unsigned boundSeconds);
// The pipe's reading end; -1 when not installed.
int SessionEndSignalFd();
// Reads what the handler wrote without blocking: the last signal's number, or 0 when none came.
int TakeSessionEndSignal();
// Puts the default handling back, closes the pipe and cancels the bound (the shut-down is over).
void RemoveSessionEndSignals();
