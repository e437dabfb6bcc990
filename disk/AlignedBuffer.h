// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstddef>
#include <cstdint>

namespace tavrin {

// Bytes starting on a page: a device opened for direct I/O takes them without a copy through
// its bounce buffer, and copies into them do not straddle pages at every line. Zeroed unless
// the caller overwrites every byte before reading any.
class AlignedBuffer {
public:
    static constexpr size_t kAlignment = 4096;
    enum class Contents { Zeroed, Overwritten };

    explicit AlignedBuffer(size_t size, Contents contents = Contents::Zeroed);
    ~AlignedBuffer();
    AlignedBuffer(const AlignedBuffer&) = delete;
    AlignedBuffer& operator=(const AlignedBuffer&) = delete;

    // Bytes about to be written: their pages are put in place in one call instead of a fault
    // per page at first touch (only where the buffer was mapped on its own).
    void PrepareForWriting(size_t offset, size_t length);

    uint8_t* data() { return bytes_; }
    const uint8_t* data() const { return bytes_; }
    size_t size() const { return size_; }

private:
    size_t size_;
    size_t mapped_ = 0;  // bytes mapped from the kernel, or 0 when from the heap
    uint8_t* bytes_ = nullptr;
};

}  // namespace tavrin
