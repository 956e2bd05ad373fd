#pragma once

// The command lines of the tools (the simulators, the update server, homeprep): "--name value" pairs.
// ReadToolOptions hands each pair to take in order. "--help" (or "-h") in an option's place prints the
// usage on stdout and the program ends with 0, before anything listens or is written; an unknown option,
// an option without its value or a value take refuses prints the usage on stderr and the program ends
// with 2.

#include <functional>

// What take(name, value) returns for one option.
enum ToolOption { kOptionTaken = 0, kOptionUnknown = -1, kOptionBadValue = -2 };
using ToolOptionTaker = std::function<ToolOption(const char* name, const char* value)>;

// 0 when every option was taken (the program runs); -1 when the program ends now with *exitCode.
[[nodiscard]] int ReadToolOptions(int argc, char** argv, const char* usage, const ToolOptionTaker& take,
                                  int* exitCode);

// The whole of value as a decimal number in [low, high] into *number: 0, or -1 (and *number unchanged).
[[nodiscard]] int ParseToolNumber(const char* value, long low, long high, int* number);

// Prints the usage on stderr; returns 2, the exit code of a command line the tool cannot run with.
int ToolUsageError(const char* usage);
