#pragma once

// Starting the client with the user's desktop session: an XDG autostart entry
// ($XDG_CONFIG_HOME/autostart/vistal.desktop, default ~/.config/autostart) that runs this program. The
// setting is "on" exactly when the entry exists.

#include <QString>

// The autostart entry's path.
QString AutostartEntryPath();

// 1 when the entry exists, else 0.
int IsAutorunSet();

// on: writes the entry with this program's path; 0: removes it. Failures are not reported (the page reads
// the state back with IsAutorunSet).
void SetAutorun(int on);
