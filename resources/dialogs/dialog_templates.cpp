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

namespace {
const DialogTemplate* const kTemplates[] = {
    &kVideoDialogTemplate,
    &kMessageDialogTemplate,
    &kLoginDialogTemplate,
    &kPlaybackDialogTemplate,
    &kChannelDialogTemplate,
};
}  // namespace

const DialogTemplate* FindDialogTemplate(UINT id) {
    for (const DialogTemplate* t : kTemplates) {
        if (t->id == id)
            return t;
    }
    return nullptr;
}
