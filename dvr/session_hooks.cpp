#include "dvr/session_hooks.h"

namespace {
DvrSessionHooks g_hooks;
}

void SetDvrSessionHooks(const DvrSessionHooks* hooks) {
    g_hooks = hooks != nullptr ? *hooks : DvrSessionHooks{};
}

const DvrSessionHooks& GetDvrSessionHooks() {
    return g_hooks;
}
