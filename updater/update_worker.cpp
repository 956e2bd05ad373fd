#include "updater/update_worker.h"

#include "platform/system/thread_queue.h"
#include "updater/updater_messages.h"

namespace {

constexpr int kWaitMs = 100;

void Handle(const UpdateWorkerContext& ctx, const ThreadMessage& msg) {
    if (msg.message == WM_UPDATE_CHECK) {
        int result = CheckVersion(ctx.files);
        ctx.postToDialog(WM_UPDATE_CHECKED, WPARAM(result));
    } else if (msg.message == WM_UPDATE_START) {
        int result = DoUpdate(
            ctx.files, [&ctx](int position) { ctx.postToDialog(WM_UPDATE_PROGRESS, WPARAM(position)); });
        ctx.postToDialog(WM_UPDATE_DONE, WPARAM(result));
    }
}

}  // namespace

unsigned UpdateWorkerProc(void* context) {
    const auto& ctx = *static_cast<const UpdateWorkerContext*>(context);
    bool stop = false;
    while (!stop) {
        ThreadMessage msg;
        if (!GetThreadMessage(&msg, kWaitMs))
            continue;
        do {
            if (msg.message == WM_QUIT)
                stop = true;
            else
                Handle(ctx, msg);
        } while (PeekThreadMessage(&msg));
    }
    return 0;
}
