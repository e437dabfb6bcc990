// SPDX-License-Identifier: Apache-2.0
#include "disk/AlignedBuffer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include <sys/mman.h>

namespace tavrin {

namespace {

// From here up a buffer is mapped on its own: the kernel's pages come zeroed, so a zeroed
// buffer costs nothing until used, and lanes that stay unused are never backed at all. Under
// AddressSanitizer every buffer comes from the heap, where its bounds are checked.
#if defined(__SANITIZE_ADDRESS__)
#define TAVRIN_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAVRIN_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(TAVRIN_ADDRESS_SANITIZER)
constexpr size_t kMappedFrom = SIZE_MAX;
#else
constexpr size_t kMappedFrom = size_t{64} << 10;
#endif
constexpr size_t kHugePage = size_t{2} << 20;

size_t RoundUp(size_t size, size_t unit) { return (size + unit - 1) / unit * unit; }

}  // namespace

AlignedBuffer::AlignedBuffer(size_t size, Contents contents) : size_(size) {
    if (size < kMappedFrom) {
        bytes_ = static_cast<uint8_t*>(::operator new(size ? size : 1, std::align_val_t{kAlignment}));
        if (contents == Contents::Zeroed) std::memset(bytes_, 0, size);
        return;
    }
    // A batch buffer in huge pages needs one that starts on one: map a huge page more and
    // give back what lies outside.
    const bool huge = size >= kHugePage;
    const size_t length = RoundUp(size, huge ? kHugePage : kAlignment);
    const size_t slack = huge ? kHugePage : 0;
    void* region = ::mmap(nullptr, length + slack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (region == MAP_FAILED) throw std::bad_alloc();
    auto* start = static_cast<uint8_t*>(region);
    if (huge) {
        auto* aligned = reinterpret_cast<uint8_t*>(RoundUp(reinterpret_cast<uintptr_t>(start), kHugePage));
        if (aligned > start) ::munmap(start, static_cast<size_t>(aligned - start));
        ::munmap(aligned + length, static_cast<size_t>(start + slack - aligned));  // never empty
        start = aligned;
        ::madvise(start, length, MADV_HUGEPAGE);
    }
    bytes_ = start;
    mapped_ = length;
    if (contents == Contents::Overwritten) PrepareForWriting(0, size);
}

// Older kernels refuse, and then the faults do it.
void AlignedBuffer::PrepareForWriting(size_t offset, size_t length) {
    if (!mapped_ || offset >= size_) return;
    const size_t first = offset / kAlignment * kAlignment;
    const size_t end = RoundUp(offset + std::min(length, size_ - offset), kAlignment);
    ::madvise(bytes_ + first, end - first, MADV_POPULATE_WRITE);
}

AlignedBuffer::~AlignedBuffer() {
    if (mapped_) {
        ::munmap(bytes_, mapped_);
    } else {
        ::operator delete(bytes_, std::align_val_t{kAlignment});
    }
}

}  // namespace tavrin
