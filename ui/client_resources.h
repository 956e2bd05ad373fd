#pragma once

// The client's resources in the window layer: its dialog templates, menus and bitmaps (resources/),
// installed by the client program at start, before its first window.
void InstallClientResources();
