#pragma once

// The wait of the media threads between their turns.

// Empties the calling thread's message queue, waiting up to waitMs for the first message. True when
// WM_QUIT was among them.
[[nodiscard]] bool QuitRequested(int waitMs);
