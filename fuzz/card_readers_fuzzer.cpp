// SPDX-License-Identifier: Apache-2.0
#include <cstdlib>
#include <string>

#include "fuzz/CardReadersFuzz.h"
#include "fuzz/FuzzScratch.h"

using namespace tavrin;

namespace {

struct Scratch {
    FuzzScratch folder{"p.rbf", "a.bit", "c.rbf", "f.bin"};
    card_fuzz::Files files = card_fuzz::PrepareFiles(folder.Folder());
};

const Scratch& TheScratch() {
    static const Scratch scratch;
    return scratch;
}

}  // namespace

// Record dates are local time: one zone for every run keeps the committed seeds valid.
// TAVRIN_FUZZ_SEED_DIR=dir writes the seed cards (one per window variant and bank) and exits.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("TZ", "UTC", 1);
    const char* seedDir = std::getenv("TAVRIN_FUZZ_SEED_DIR");
    if (!seedDir) return 0;
    for (int variant = 0; variant < 4; ++variant) {
        for (int bank : {0, 1}) {
            const std::string path =
                std::string(seedDir) + "/variant" + std::to_string(variant) + "_bank" + std::to_string(bank + 1);
            if (!card_fuzz::WriteFile(path, card_fuzz::BuildSeedImage(TheScratch().files, variant, bank))) std::exit(1);
        }
    }
    std::exit(0);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StopOnFinding(CheckCardReaders(data, size, TheScratch().files));
    return 0;
}
