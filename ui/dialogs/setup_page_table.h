#pragma once

// The pages of the setup dialog, one entry per page code: the page's template and the function that
// makes the page object. A page that this build does not have has a null factory and is left out.

#include "platform/ui/wnd.h"

class CSetupPage;

// Makes a page object owned by owner (the setup dialog); nullptr when it cannot be allocated.
using SetupPageFactory = CSetupPage* (*)(CWnd* owner);

struct SetupPageEntry {
    int pageCode;
    UINT templateId;
    SetupPageFactory make;
};

// Indexed by page code (SETUP_PAGE_SYSTEM .. SETUP_PAGE_NETWORK).
extern const SetupPageEntry kSetupPageTable[];

CSetupPage* NewSetupSystemPage(CWnd* owner);
CSetupPage* NewSetupUserPage(CWnd* owner);
CSetupPage* NewSetupChannelPage(CWnd* owner);
CSetupPage* NewSetupVideoPage(CWnd* owner);
CSetupPage* NewSetupCameraPage(CWnd* owner);
CSetupPage* NewSetupRecordPage(CWnd* owner);
CSetupPage* NewSetupAlarmPage(CWnd* owner);
CSetupPage* NewSetupNetworkPage(CWnd* owner);
