// Runs a fuzz target over a fixed set of inputs: its seeds, then a bounded number of mutations of them
// drawn from a fixed seed, so every run is the same and takes a few seconds.

#include <cstdio>
#include <random>

#include "tests/dvr/fuzz/fuzz_target.h"

namespace {

#ifndef VISTAL_FUZZ_MUTATIONS
#define VISTAL_FUZZ_MUTATIONS 50000
#endif
constexpr int kMutations = VISTAL_FUZZ_MUTATIONS;

std::string Mutate(std::mt19937& random, const std::vector<std::string>& corpus) {
    std::string input = corpus[random() % corpus.size()];
    int steps = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < steps; ++i) {
        size_t at = input.empty() ? 0 : random() % input.size();
        switch (random() % 6) {
            case 0:  // flip a bit
                if (!input.empty())
                    input[at] = static_cast<char>(input[at] ^ (1 << (random() % 8)));
                break;
            case 1:  // set an interesting byte
                if (!input.empty()) {
                    const char bytes[] = {'\0', '\xFE', '\xFF', ' ', '\r', '\n', '$', '-', '9', '\x08'};
                    input[at] = bytes[random() % sizeof bytes];
                }
                break;
            case 2:  // insert random bytes
                input.insert(at, std::string(1 + random() % 8, static_cast<char>(random())));
                break;
            case 3:  // cut
                input.resize(at);
                break;
            case 4:  // splice with another input
                input += corpus[random() % corpus.size()].substr(0, random() % 64);
                break;
            default:  // duplicate a piece
                input.insert(at, input.substr(at, random() % 32));
                break;
        }
    }
    return input;
}

}  // namespace

int main() {
    std::vector<std::string> corpus = FuzzSeeds();
    for (const std::string& seed : corpus)
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(seed.data()), seed.size());
    std::mt19937 random(20261210);
    for (int i = 0; i < kMutations; ++i) {
        std::string input = Mutate(random, corpus);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
        if (i % 1000 == 0 && corpus.size() < 64)
            corpus.push_back(input);
    }
    std::printf("%d inputs run\n", static_cast<int>(corpus.size()) + kMutations);
    return 0;
}
