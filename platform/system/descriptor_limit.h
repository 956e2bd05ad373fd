#pragma once

// Both programs open many descriptors (each DVR session's sockets and thread queues, the desktop
// platform's own): the soft limit of open files is raised to the hard limit at start-up, and whatever can
// wait (a DVR session's start) leaves a reserve free for the rest (windows, recordings, snapshots, the
// single-instance endpoint).

// Raises the soft RLIMIT_NOFILE to the hard limit. The soft limit in force afterwards, or -1 when it
// cannot be read.
[[nodiscard]] long RaiseDescriptorLimit();

// How many more descriptors the process may open now (the soft limit less those open); 0 when they cannot
// be counted (no descriptor is left to read the list with).
[[nodiscard]] long FreeDescriptors();
