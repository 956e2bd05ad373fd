#include "platform/system/descriptor_limit.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace {

// In a child process (the limit is the process's): a soft limit below the hard one is raised to it, and
// the free count follows what is opened.
TEST(DescriptorLimit, RaisesTheSoftLimitAndCountsWhatIsFree) {
    struct rlimit own;
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &own), 0);
    if (own.rlim_max < 512 || own.rlim_max == RLIM_INFINITY)
        GTEST_SKIP() << "no finite hard limit above 512";
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        struct rlimit low = {256, own.rlim_max};
        int failures = setrlimit(RLIMIT_NOFILE, &low) != 0 ? 1 : 0;
        const long before = FreeDescriptors();
        failures += before > 0 && before < 256 ? 0 : 2;
        std::vector<int> opened;
        for (int i = 0; i < 10; ++i)
            opened.push_back(dup(0));
        failures += FreeDescriptors() == before - 10 ? 0 : 4;
        failures += RaiseDescriptorLimit() == static_cast<long>(own.rlim_max) ? 0 : 8;
        struct rlimit after;
        failures += getrlimit(RLIMIT_NOFILE, &after) == 0 && after.rlim_cur == own.rlim_max ? 0 : 16;
        failures += FreeDescriptors() == before - 10 + static_cast<long>(own.rlim_max) - 256 ? 0 : 32;
        _exit(failures);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "bits: 1 setrlimit, 2 first count, 4 count after opening, 8 result, "
                                         "16 limit in force, 32 count after raising";
}

}  // namespace
