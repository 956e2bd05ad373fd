#pragma once

// The video libraries loaded on demand. The program calls libav's functions as usual; the first call
// loads the libraries (or waits until the loading StartLibavLoading began has ended). A function whose
// library could not be loaded returns what libav's returns when out of memory (null, or AVERROR(ENOSYS)
// for a result code) and does nothing else; one line on stderr names what was missing.

// Begins loading the libraries on a thread of its own so that the first call finds them ready; a later
// call does nothing. 0, or -1 when no thread could be started (the first call then loads them itself).
// A thread that loads a library itself meanwhile (a plugin, say) waits until this loading has ended.
[[nodiscard]] int StartLibavLoading();

// Loads the libraries when they are not loaded yet (waiting for a loading in progress). True when every
// function the program uses was found.
bool LibavLoaded();
