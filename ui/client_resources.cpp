#include "ui/client_resources.h"

#include "platform/ui/window_resources.h"
#include "resources/dialogs/dialog_templates.h"
#include "resources/menus/menu_templates.h"
#include "resources/resource_bitmaps.h"

void InstallClientResources() {
    WindowResources resources;
    resources.findDialogTemplate = FindDialogTemplate;
    resources.findMenuTemplate = FindMenuTemplate;
    resources.loadBitmap = LoadResourceBitmap;
    SetWindowResources(&resources);
}
