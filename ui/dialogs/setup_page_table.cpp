#include "ui/dialogs/setup_page_table.h"

#include "core/window_messages.h"

// One line per page, in page-code order.
const SetupPageEntry kSetupPageTable[SETUP_PAGE_COUNT] = {
    {SETUP_PAGE_SYSTEM, 140, NewSetupSystemPage},
    {SETUP_PAGE_USER, 142, NewSetupUserPage},
    {SETUP_PAGE_CHANNEL, 143, NewSetupChannelPage},
    {SETUP_PAGE_VIDEO, 156, NewSetupVideoPage},
    {SETUP_PAGE_CAMERA, 150, NewSetupCameraPage},
    {SETUP_PAGE_RECORD, 144, NewSetupRecordPage},
    {SETUP_PAGE_ALARM, 145, NewSetupAlarmPage},
    {SETUP_PAGE_NETWORK, 146, NewSetupNetworkPage},
};
