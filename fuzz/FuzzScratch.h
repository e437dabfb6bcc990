// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

namespace tavrin {

// A scratch folder under TMPDIR for the life of a fuzzing process, removed at its end with
// the files named when it was made.
class FuzzScratch {
public:
    explicit FuzzScratch(std::initializer_list<const char*> names) : names_(names.begin(), names.end()) {
        const char* base = std::getenv("TMPDIR");
        folder_ = std::string(base && *base ? base : "/tmp") + "/tavrin-fuzz-XXXXXX";
        if (!mkdtemp(folder_.data())) std::abort();
    }
    ~FuzzScratch() {
        for (const std::string& name : names_) std::remove((folder_ + "/" + name).c_str());
        ::rmdir(folder_.c_str());
    }
    FuzzScratch(const FuzzScratch&) = delete;
    FuzzScratch& operator=(const FuzzScratch&) = delete;

    const std::string& Folder() const { return folder_; }

private:
    std::string folder_;
    std::vector<std::string> names_;
};

}  // namespace tavrin
