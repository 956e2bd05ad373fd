#pragma once

// Both programs open many descriptors (each DVR session's sockets and thread queues, the desktop
// platform's own): the soft limit of open files is raised to the hard limit at start-up.

// Raises the soft RLIMIT_NOFILE to the hard limit. The soft limit in force afterwards, or -1 when it
// cannot be read.
[[nodiscard]] long RaiseDescriptorLimit();
