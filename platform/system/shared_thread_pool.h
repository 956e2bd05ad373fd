#pragma once

// The desktop platform paints large images on its shared thread pool, and each of its threads needs a
// descriptor for its event loop when it starts; a thread that cannot have one ends the program. The pool's
// threads are therefore all started once, at start-up while descriptors are plentiful, and kept.

// Starts every thread of the shared pool and keeps them for the program's life (call after the
// application object exists). The number of threads started.
int PrestartSharedThreadPool();
