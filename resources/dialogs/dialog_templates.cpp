#include "resources/dialogs/dialog_templates.h"

#include "platform/ui/ui_styles.h"

// Each dialog's template is defined in its own file; this list finds them by number.
extern const DialogTemplate kVideoDialogTemplate;
extern const DialogTemplate kMessageDialogTemplate;
extern const DialogTemplate kLoginDialogTemplate;
// Playback dialog.
extern const DialogTemplate kPlaybackDialogTemplate;
// Channel picker.
extern const DialogTemplate kChannelDialogTemplate;
// Status dialog, its pages, the device list and the tree editor's record dialogs.
extern const DialogTemplate kStatusDialogTemplate;
extern const DialogTemplate kStatusSystemPageTemplate;
extern const DialogTemplate kStatusSoftwarePageTemplate;
extern const DialogTemplate kStatusUserPageTemplate;
extern const DialogTemplate kStatusLogPageTemplate;
extern const DialogTemplate kConfigPageTemplate;
extern const DialogTemplate kDeviceDialogTemplate;
extern const DialogTemplate kTreePageTemplate;
extern const DialogTemplate kNodeAreaDialogTemplate;
extern const DialogTemplate kNodeDvrDialogTemplate;
extern const DialogTemplate kMainDialogTemplate;
// Setup dialog: the user page, its password dialog and the audio and video page.
extern const DialogTemplate kSetupUserPageTemplate;
extern const DialogTemplate kPassword2DialogTemplate;
extern const DialogTemplate kSetupVideoPageTemplate;
// Setup dialog: the host, the System and Network pages.
extern const DialogTemplate kSetupDialogTemplate;
extern const DialogTemplate kSetupSystemPageTemplate;
extern const DialogTemplate kSetupNetworkPageTemplate;
// Setup dialog: the record schedule and alarm pages.
extern const DialogTemplate kSetupRecordPageTemplate;
extern const DialogTemplate kSetupAlarmPageTemplate;
// Setup pages: channel and camera.
extern const DialogTemplate kSetupChannelPageTemplate;
extern const DialogTemplate kSetupCameraPageTemplate;

namespace {
const DialogTemplate* const kTemplates[] = {
    &kVideoDialogTemplate,
    &kMessageDialogTemplate,
    &kLoginDialogTemplate,
    &kPlaybackDialogTemplate,
    &kChannelDialogTemplate,
    // Status dialog, its pages, the device list and the tree editor's record dialogs.
    &kStatusDialogTemplate,
    &kStatusSystemPageTemplate,
    &kStatusSoftwarePageTemplate,
    &kStatusUserPageTemplate,
    &kStatusLogPageTemplate,
    &kConfigPageTemplate,
    &kDeviceDialogTemplate,
    &kTreePageTemplate,
    &kNodeAreaDialogTemplate,
    &kNodeDvrDialogTemplate,
    &kMainDialogTemplate,
    // Setup dialog: the user page, its password dialog and the audio and video page.
    &kSetupUserPageTemplate,
    &kPassword2DialogTemplate,
    &kSetupVideoPageTemplate,
    // Setup dialog: the host, the System and Network pages.
    &kSetupDialogTemplate,
    &kSetupSystemPageTemplate,
    &kSetupNetworkPageTemplate,
    // Setup dialog: the record schedule and alarm pages.
    &kSetupRecordPageTemplate,
    &kSetupAlarmPageTemplate,
    // Setup pages: channel and camera.
    &kSetupChannelPageTemplate,
    &kSetupCameraPageTemplate,
};
}  // namespace

const DialogTemplate* FindDialogTemplate(UINT id) {
    for (const DialogTemplate* t : kTemplates) {
        if (t->id == id)
            return t;
    }
    return nullptr;
}

std::span<const DialogTemplate* const> AllDialogTemplates() {
    return kTemplates;
}
