#pragma once

// The file-size limit of the process (RLIMIT_FSIZE). Past it the system stops a write, and by default
// ends the whole process with SIGXFSZ: both programs ignore that signal, so such a write fails with EFBIG
// like any other write error and the writer that made it deals with it.

// Ignores SIGXFSZ for the process. 0, or -1 when the signal's action cannot be set.
[[nodiscard]] int IgnoreFileSizeSignal();
