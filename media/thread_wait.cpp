#include "media/thread_wait.h"

#include "platform/system/thread_queue.h"

bool QuitRequested(int waitMs) {
    ThreadMessage msg;
    bool quit = false;
    if (GetThreadMessage(&msg, waitMs) == 0)
        return false;
    do {
        quit = quit || msg.message == WM_QUIT;
    } while (PeekThreadMessage(&msg));
    return quit;
}
