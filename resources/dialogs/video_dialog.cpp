// Dialog 129: the video surface window, a popup without caption or border and without controls.

#include "platform/ui/dialog_template.h"
#include "platform/ui/ui_styles.h"

extern const DialogTemplate kVideoDialogTemplate;
const DialogTemplate kVideoDialogTemplate{129, WS_POPUP, "", 0, 0, 320, 200, nullptr, 0};
