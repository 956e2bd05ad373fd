#include "core/system_settings.h"

// The client's own settings, filled at start-up from system.ini.
SystemSettings g_systemSettings;

void EndPathWithBackslash(char16_t* path, int size) {
    int n = 0;
    while (n < size && path[n] != 0)
        ++n;
    if ((n == 0 || path[n - 1] != u'\\') && n < size - 1) {
        path[n] = u'\\';
        path[n + 1] = 0;
    }
}
