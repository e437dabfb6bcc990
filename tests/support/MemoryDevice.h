// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cerrno>
#include <cstdint>
#include <set>
#include <vector>

#include "disk/DiskSectorRW.h"

namespace tavrin {

// A card held in memory. Transfers outside it fail, as do those touching an unreadable sector;
// it remembers how it was opened and closed so tests can check that a device is released.
class MemoryDevice : public DiskSectorRW {
public:
    explicit MemoryDevice(uint32_t sectorCount = 8192);

    bool Open(int target) override;
    bool OpenForWriting(int target) override { return Open(target); }
    bool OpenToLook(int target) override { return Open(target); }
    void Close() override;
    bool Read(int32_t offset, void* buffer, uint32_t count) override;
    bool Write(int32_t offset, const void* data, uint32_t count) override;
    // Memory holds what was written as soon as it is written.
    bool Flush() override { return isOpen || Failed(EBADF); }
    int LastError() const override { return lastError; }

    uint8_t* Sector(uint32_t sector) { return bytes.data() + static_cast<size_t>(sector) * 512; }

    std::vector<uint8_t> bytes;
    bool openable = true;
    std::set<uint32_t> unreadableSectors;
    bool isOpen = false;
    int openedTarget = -1;
    int openCount = 0;
    int closeCount = 0;
    int writeCount = 0;
    int lastError = 0;

private:
    bool InRange(int32_t offset, uint32_t count) const;
    bool TouchesUnreadable(int32_t offset, uint32_t count) const;
    bool Failed(int error) {
        lastError = error;
        return false;
    }
};

}  // namespace tavrin
