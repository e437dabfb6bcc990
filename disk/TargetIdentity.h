// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <optional>

namespace tavrin {

// The object a target named when it was chosen: a block device by its device number, an image
// file by its filesystem and inode. Whatever later opens the target by name, or is handed a
// descriptor for it by another service, checks the descriptor against this before using it,
// so that a path replaced after the check (a symlink to another disk) is refused.
class TargetIdentity {
public:
    // Nothing for what is neither a block device nor a regular file.
    static std::optional<TargetIdentity> Of(const struct stat& info);
    static std::optional<TargetIdentity> OfPath(const char* path);

    // By device number or inode only: a path says no more.
    bool Matches(const struct stat& info) const;
    // fstat of an open descriptor, and a block device's disk sequence when one is known; false
    // when it cannot be asked. `info` keeps what fstat said.
    bool MatchesDescriptor(int fd) const;
    bool MatchesDescriptor(int fd, struct stat& info) const;

    // A device number is given again to the next disk that comes; the kernel's sequence number
    // of the disk tells the two apart. 0: not known.
    TargetIdentity WithSequence(uint64_t sequence) const;
    uint64_t Sequence() const { return sequence_; }

    bool IsBlockDevice() const { return block_; }
    dev_t Device() const { return block_ ? rdev_ : dev_; }
    bool operator==(const TargetIdentity&) const = default;

private:
    TargetIdentity(bool block, dev_t rdev, dev_t dev, ino_t ino) : block_(block), rdev_(rdev), dev_(dev), ino_(ino) {}

    bool block_ = false;
    dev_t rdev_ = 0;
    dev_t dev_ = 0;
    ino_t ino_ = 0;
    uint64_t sequence_ = 0;
};

// The kernel's sequence number of the disk behind a block-device descriptor, or 0 where the
// system has none (one definition per platform).
uint64_t DiskSequenceOf(int fd);

}  // namespace tavrin
