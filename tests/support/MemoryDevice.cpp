// SPDX-License-Identifier: Apache-2.0
#include "support/MemoryDevice.h"

#include <cstring>

namespace tavrin {

MemoryDevice::MemoryDevice(uint32_t sectorCount) : bytes(static_cast<size_t>(sectorCount) * 512, 0) {}

bool MemoryDevice::Open(int target) {
    if (!openable || isOpen) return Failed(isOpen ? EBUSY : ENOENT);
    isOpen = true;
    openedTarget = target;
    ++openCount;
    return true;
}

void MemoryDevice::Close() {
    if (isOpen) ++closeCount;
    isOpen = false;
}

bool MemoryDevice::InRange(int32_t offset, uint32_t count) const {
    return isOpen && offset >= 0 && static_cast<uint64_t>(offset) + count <= bytes.size();
}

bool MemoryDevice::TouchesUnreadable(int32_t offset, uint32_t count) const {
    if (count == 0) return false;
    uint64_t first = static_cast<uint64_t>(offset) / 512;
    uint64_t last = (static_cast<uint64_t>(offset) + count - 1) / 512;
    auto hit = unreadableSectors.lower_bound(static_cast<uint32_t>(first));
    return hit != unreadableSectors.end() && *hit <= last;
}

bool MemoryDevice::Read(int32_t offset, void* buffer, uint32_t count) {
    if (!InRange(offset, count)) return Failed(EINVAL);
    if (TouchesUnreadable(offset, count)) return Failed(EIO);
    std::memcpy(buffer, bytes.data() + offset, count);
    return true;
}

bool MemoryDevice::Write(int32_t offset, const void* data, uint32_t count) {
    if (!InRange(offset, count)) return Failed(EINVAL);
    std::memcpy(bytes.data() + offset, data, count);
    ++writeCount;
    return true;
}

}  // namespace tavrin
