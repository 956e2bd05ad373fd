#pragma once

// The account of descriptors that can wait (a DVR session's sockets and thread queues, a name lookup's
// files). Such a user reserves its whole need before it opens anything and releases it only after it has
// closed all of it, so the descriptors left to the rest of the program (windows, recordings, snapshots,
// the single-instance endpoint) never fall under a reserve, whenever the users open what they reserved.
//
// The descriptors the rest of the program holds are counted by reading the descriptor table, at most every
// DESCRIPTOR_RECOUNT_MS (the table of a process with thousands of sessions is long). The users note each
// descriptor they open (after it is open) and close (before it is closed): what they hold then comes off
// the table's count, so it is not counted twice.

// The shortest time between two counts of the descriptor table.
constexpr int DESCRIPTOR_RECOUNT_MS = 50;

// Reserves count descriptors when, after that, at least keepFree would still be free if every reservation
// were in use. False (nothing reserved) otherwise, or when the limit cannot be read.
[[nodiscard]] bool ReserveDescriptors(long count, long keepFree);
// Gives back count reserved descriptors (everything they stood for is closed).
void ReleaseDescriptors(long count);
// A reserving user opened one descriptor / is about to close one.
void NoteDescriptorOpened();
void NoteDescriptorClosing();
// Descriptors reserved now (tests).
[[nodiscard]] long ReservedDescriptors();
