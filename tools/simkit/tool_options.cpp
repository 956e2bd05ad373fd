#include "tools/simkit/tool_options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int ToolUsageError(const char* usage) {
    std::fputs(usage, stderr);
    return 2;
}

int ParseToolNumber(const char* value, long low, long high, int* number) {
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(value, &end, 10);
    if (end == value || *end != '\0' || errno != 0 || parsed < low || parsed > high)
        return -1;
    *number = static_cast<int>(parsed);
    return 0;
}

int ReadToolOptions(int argc, char** argv, const char* usage, const ToolOptionTaker& take, int* exitCode) {
    const char* slash = std::strrchr(argv[0], '/');
    const char* program = slash != nullptr ? slash + 1 : argv[0];
    for (int i = 1; i < argc; i += 2) {
        const char* name = argv[i];
        if (std::strcmp(name, "--help") == 0 || std::strcmp(name, "-h") == 0) {
            std::fputs(usage, stdout);
            *exitCode = 0;
            return -1;
        }
        const ToolOption result = i + 1 < argc ? take(name, argv[i + 1]) : kOptionBadValue;
        if (i + 1 >= argc)
            std::fprintf(stderr, "%s: no value after %s (every option takes one)\n", program, name);
        else if (result == kOptionUnknown)
            std::fprintf(stderr, "%s: unknown option %s\n", program, name);
        else if (result == kOptionBadValue)
            std::fprintf(stderr, "%s: bad value for %s: %s\n", program, name, argv[i + 1]);
        if (result != kOptionTaken) {
            *exitCode = ToolUsageError(usage);
            return -1;
        }
    }
    return 0;
}
