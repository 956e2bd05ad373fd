#pragma once

// The program version (string resource IDS_APP_VERSION of the client).
inline constexpr char IDS_APP_VERSION[] = "4.4.2";
