#pragma once

// What each fuzz target provides besides LLVMFuzzerTestOneInput: the seed inputs that the deterministic
// driver starts from (libFuzzer builds take them from the same function through the driver's corpus).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
std::vector<std::string> FuzzSeeds();
