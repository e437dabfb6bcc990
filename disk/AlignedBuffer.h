// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

#include <sys/mman.h>

namespace tavrin {

// Bytes starting on a page: a device opened for direct I/O takes them without a copy through
// its bounce buffer, and copies into them do not straddle pages at every line. Zeroed unless
// the caller overwrites every byte before reading any.
class AlignedBuffer {
public:
    static constexpr size_t kAlignment = 4096;
    enum class Contents { Zeroed, Overwritten };

    explicit AlignedBuffer(size_t size, Contents contents = Contents::Zeroed)
        : size_(size), alignment_(size >= kHugePage ? kHugePage : kAlignment),
          bytes_(static_cast<uint8_t*>(::operator new(size ? size : 1, std::align_val_t{alignment_}))) {
        // A batch buffer touched page by page costs a fault per 4 KiB; in huge pages, two.
        if (alignment_ == kHugePage) ::madvise(bytes_, size_ / kHugePage * kHugePage, MADV_HUGEPAGE);
        if (contents == Contents::Zeroed) std::memset(bytes_, 0, size_);
    }
    ~AlignedBuffer() { ::operator delete(bytes_, std::align_val_t{alignment_}); }
    AlignedBuffer(const AlignedBuffer&) = delete;
    AlignedBuffer& operator=(const AlignedBuffer&) = delete;

    uint8_t* data() { return bytes_; }
    const uint8_t* data() const { return bytes_; }
    size_t size() const { return size_; }

private:
    static constexpr size_t kHugePage = size_t{2} << 20;
    size_t size_;
    size_t alignment_;
    uint8_t* bytes_;
};

}  // namespace tavrin
