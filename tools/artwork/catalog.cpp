#include "tools/artwork/catalog.h"

namespace {

// Strip of three pictures of w x h each.
ArtworkEntry Strip(unsigned id, int w, int h, const char* meaning) {
    return {id, 3 * w, h, 3, "buttons", meaning};
}

}  // namespace

const std::vector<ArtworkEntry>& ArtworkCatalog() {
    static const std::vector<ArtworkEntry> catalog = {
        // Skins and backgrounds.
        {155, 1024, 768, 1, "skins", "main window skin"},
        {213, 1024, 768, 1, "skins", "playback dialog skin"},
        {189, 373, 243, 1, "skins", "login dialog background (also the dialog's size)"},
        {132, 322, 421, 1, "skins", "device tree background, tiled"},
        // Pictures drawn into empty screens.
        {130, 352, 288, 1, "pictures", "no-video picture"},
        {274, 352, 288, 1, "pictures", "idle picture of a playback screen"},
        // Small images.
        {191, 16, 16, 1, "icons", "tree: area (image 0), black is transparent"},
        {194, 16, 16, 1, "icons", "tree: DVR not logged in (image 1)"},
        {190, 16, 16, 1, "icons", "tree: DVR online (image 2)"},
        {192, 16, 16, 1, "icons", "tree: channel not on a screen (image 3)"},
        {193, 16, 16, 1, "icons", "tree: channel shown on a screen (image 4)"},
        {221, 16, 16, 1, "icons", "tree: DVR login refused (image 5)"},
        {175, 51, 17, 1, "icons", "channel lights: idle, recording, alarm (17 x 17 cells)"},
        {154, 39, 16, 1, "icons", "check images: none, unchecked, checked (13 x 16, magenta transparent)"},
        // Slider pictures.
        {185, 59, 12, 1, "sliders", "volume channel"},
        {186, 59, 12, 1, "sliders", "volume channel, part left of the thumb"},
        {211, 672, 12, 1, "sliders", "playback position channel (stretched to the slider width)"},
        {210, 672, 12, 1, "sliders", "playback position channel, played part (stretched)"},
        {215, 8, 12, 1, "sliders", "slider thumb, white transparent"},
        {214, 8, 12, 1, "sliders", "slider thumb while dragged, white transparent"},
        // Main window: caption buttons.
        Strip(224, 31, 21, "main window: caption close (1039)"),
        Strip(225, 21, 21, "main window: caption maximise (1037)"),
        Strip(227, 21, 21, "main window: caption restore (1038)"),
        Strip(226, 21, 21, "main window: caption minimise (1036)"),
        // Main window: right panel.
        Strip(219, 29, 23, "main window: open all channels (1006)"),
        Strip(218, 29, 23, "main window: close all channels (1007)"),
        Strip(177, 52, 26, "main window: zoom in (1010) and focus near (1008)"),
        Strip(176, 52, 26, "main window: zoom out (1011) and focus far (1009)"),
        Strip(173, 52, 26, "main window: iris open (1012)"),
        Strip(174, 52, 26, "main window: iris close (1013)"),
        Strip(206, 20, 10, "main window: preset number up (1015)"),
        Strip(205, 20, 10, "main window: preset number down (1016)"),
        Strip(181, 51, 24, "main window: preset set (1017)"),
        Strip(182, 51, 24, "main window: preset clear (1018)"),
        Strip(183, 51, 24, "main window: preset goto (1019)"),
        Strip(167, 45, 45, "main window: tilt up (1020)"),
        Strip(172, 45, 45, "main window: tilt down (1022)"),
        Strip(170, 45, 45, "main window: pan left (1023)"),
        Strip(169, 45, 45, "main window: pan right (1024)"),
        Strip(168, 45, 45, "main window: PTZ auto scan, pad centre (1021)"),
        Strip(153, 28, 30, "sound on (mute button 1026, both windows)"),
        Strip(152, 28, 30, "muted (mute button 1026, both windows)"),
        Strip(171, 55, 55, "exit (1000, both windows)"),
        Strip(178, 28, 30, "main window: minimise (1001, hidden)"),
        // Main window: bottom bar.
        Strip(160, 49, 22, "main window: playback (1003)"),
        Strip(158, 49, 22, "main window: login (1032, logged out)"),
        Strip(166, 49, 22, "main window: logout (1032, logged in)"),
        Strip(162, 49, 22, "main window: DVR sequence start/stop (1030)"),
        Strip(165, 49, 22, "main window: snapshot (1031)"),
        Strip(164, 49, 22, "main window: setup (1004)"),
        Strip(156, 49, 22, "main window: status (1034)"),
        Strip(157, 49, 22, "main window: full screen (1027)"),
        Strip(163, 49, 22, "main window: auto-scroll screens (1035)"),
        Strip(159, 49, 22, "main window: next page (1028)"),
        Strip(161, 49, 22, "main window: previous page (1029)"),
        // Playback dialog.
        Strip(212, 49, 22, "playback dialog: search (1143)"),
        Strip(196, 49, 22, "playback dialog: full screen (1027)"),
        Strip(195, 49, 22, "playback dialog: download (1032, hidden)"),
        Strip(207, 49, 22, "playback dialog: snapshot (1031)"),
        Strip(197, 29, 23, "playback dialog: play (1122)"),
        Strip(200, 29, 23, "playback dialog: pause (1123)"),
        Strip(198, 29, 23, "playback dialog: stop (1124)"),
        Strip(199, 29, 23, "playback dialog: single step (1034)"),
        Strip(203, 29, 23, "playback dialog: slow (1126)"),
        Strip(204, 29, 23, "playback dialog: fast (1125)"),
        Strip(201, 29, 23, "playback dialog: one minute back (1128)"),
        Strip(202, 29, 23, "playback dialog: one minute on (1127)"),
        // Login dialog.
        Strip(188, 68, 28, "OK and Cancel of the login dialog (captions drawn over it in black)"),
    };
    return catalog;
}

const ArtworkEntry* FindArtwork(unsigned id) {
    for (const ArtworkEntry& entry : ArtworkCatalog()) {
        if (entry.id == id) {
            return &entry;
        }
    }
    return nullptr;
}
