#include "dvr/handed_list.h"

void ResetDeviceLists(DeviceLists* lists) {
    {
        std::lock_guard<std::mutex> guard(lists->buildLock);
        lists->userWork.clear();
        lists->diskWork.clear();
        lists->languageWork.clear();
        lists->fileWork.clear();
        lists->userListOpen = lists->diskListOpen = lists->languageListOpen = lists->fileListOpen = false;
    }
    lists->users.Reset();
    lists->disks.Reset();
    lists->languages.Reset();
    lists->remoteFiles.Reset();
}
