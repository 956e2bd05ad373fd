#include "platform/ui/prompt_hook.h"

namespace {
PromptHook g_hook;
}

void SetPromptHook(PromptHook hook) {
    g_hook = std::move(hook);
}

bool AskPromptHook(const PromptRequest& request, PromptAnswer* answer) {
    if (!g_hook)
        return false;
    *answer = g_hook(request);
    return true;
}
