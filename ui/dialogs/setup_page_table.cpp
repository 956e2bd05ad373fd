#include "ui/dialogs/setup_page_table.h"

#include "core/window_messages.h"

// One line per page, in page-code order.
const SetupPageEntry kSetupPageTable[SETUP_PAGE_COUNT] = {
    {SETUP_PAGE_SYSTEM, 140, NewSetupSystemPage},
    {SETUP_PAGE_USER, 142, nullptr},
    {SETUP_PAGE_CHANNEL, 143, NewSetupChannelPage},
    {SETUP_PAGE_VIDEO, 156, nullptr},
    {SETUP_PAGE_CAMERA, 150, NewSetupCameraPage},
    {SETUP_PAGE_RECORD, 144, nullptr},
    {SETUP_PAGE_ALARM, 145, nullptr},
    {SETUP_PAGE_NETWORK, 146, NewSetupNetworkPage},
};
