// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

namespace tavrin {

// Zeroed bytes starting on a page: a device opened for direct I/O takes them without a copy
// through its bounce buffer, and copies into them do not straddle pages at every line.
class AlignedBuffer {
public:
    static constexpr size_t kAlignment = 4096;

    explicit AlignedBuffer(size_t size)
        : size_(size), bytes_(static_cast<uint8_t*>(::operator new(size ? size : 1, std::align_val_t{kAlignment}))) {
        std::memset(bytes_, 0, size_);
    }
    ~AlignedBuffer() { ::operator delete(bytes_, std::align_val_t{kAlignment}); }
    AlignedBuffer(const AlignedBuffer&) = delete;
    AlignedBuffer& operator=(const AlignedBuffer&) = delete;

    uint8_t* data() { return bytes_; }
    const uint8_t* data() const { return bytes_; }
    size_t size() const { return size_; }

private:
    size_t size_;
    uint8_t* bytes_;
};

}  // namespace tavrin
