#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "fuzz/SettingsLoadFuzz.h"

namespace {

// One scratch folder per fuzzing process (under TMPDIR), removed when the process ends.
struct Scratch {
    Scratch() {
        const char* base = std::getenv("TMPDIR");
        folder = std::string(base && *base ? base : "/tmp") + "/tavrin-fuzz-XXXXXX";
        if (!mkdtemp(folder.data())) std::abort();
    }
    ~Scratch() {
        std::remove((folder + "/input.tvs").c_str());
        std::remove((folder + "/saved.tvs").c_str());
        ::rmdir(folder.c_str());
    }
    std::string folder;
};

const std::string& ScratchFolder() {
    static const Scratch scratch;
    return scratch.folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StopOnFinding(CheckSettingsLoad(data, size, ScratchFolder()));
    return 0;
}
