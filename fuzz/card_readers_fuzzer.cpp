#include <cstdlib>
#include <string>
#include <unistd.h>

#include "fuzz/CardReadersFuzz.h"

namespace {

// The named files live in a scratch folder (under TMPDIR) for the life of the process.
struct Scratch {
    Scratch() {
        const char* base = std::getenv("TMPDIR");
        folder = std::string(base && *base ? base : "/tmp") + "/tavrin-fuzz-XXXXXX";
        if (!mkdtemp(folder.data())) std::abort();
        files = card_fuzz::PrepareFiles(folder);
    }
    ~Scratch() {
        for (const std::string* path : {&files.parallel, &files.bit, &files.rbf, &files.bin}) ::unlink(path->c_str());
        ::rmdir(folder.c_str());
    }
    std::string folder;
    card_fuzz::Files files;
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
