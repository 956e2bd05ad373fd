#include "core/system_settings.h"

// The client's own settings, filled at start-up from system.ini.
SystemSettings g_systemSettings;
