// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <algorithm>
#include <cstring>
#include <vector>

#include "card/InputFile.h"

namespace tavrin {

// A configuration file held in memory, whose length query, reads and modification time can be
// made to fail.
class MemoryInputFile : public InputFile {
public:
    explicit MemoryInputFile(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    bool Length(uint64_t& length) override {
        if (lengthFails) return false;
        length = bytes_.size();
        return true;
    }
    long Read(void* buffer, size_t count) override {
        if (readsBeforeFailure == 0) return -1;
        if (readsBeforeFailure > 0) --readsBeforeFailure;
        size_t left = position < bytes_.size() ? bytes_.size() - position : 0;
        size_t n = std::min(count, left);
        if (n > 0) std::memcpy(buffer, bytes_.data() + position, n);
        position += n;
        return static_cast<long>(n);
    }
    bool Seek(uint64_t offset) override {
        position = offset;
        return true;
    }
    bool ModifiedTime(FileTime& time) override {
        time = timeKnown ? modified : FileTime{};
        return timeKnown;
    }

    uint64_t position = 0;
    bool lengthFails = false;
    int readsBeforeFailure = -1;  // -1: reads never fail
    bool timeKnown = true;
    FileTime modified{2008, 3, 5, 14, 7, 9};

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace tavrin
