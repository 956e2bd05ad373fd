#include "platform/system/descriptor_limit.h"

#include <dirent.h>
#include <sys/resource.h>

long RaiseDescriptorLimit() {
    struct rlimit limit;
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return -1;
    if (limit.rlim_cur != limit.rlim_max) {
        struct rlimit raised = {limit.rlim_max, limit.rlim_max};
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
    }
    return limit.rlim_cur == RLIM_INFINITY ? -1 : static_cast<long>(limit.rlim_cur);
}

long FreeDescriptors() {
    struct rlimit limit;
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return 0;
    DIR* folder = opendir("/proc/self/fd");
    if (folder == nullptr)
        return 0;
    long open = -1;  // the folder's own descriptor is listed too
    while (const struct dirent* entry = readdir(folder)) {
        if (entry->d_name[0] != '.')
            ++open;
    }
    closedir(folder);
    long free = static_cast<long>(limit.rlim_cur) - open;
    return free > 0 ? free : 0;
}
