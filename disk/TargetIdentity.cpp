// SPDX-License-Identifier: Apache-2.0
#include "disk/TargetIdentity.h"

namespace tavrin {

std::optional<TargetIdentity> TargetIdentity::Of(const struct stat& info) {
    if (S_ISBLK(info.st_mode)) return TargetIdentity(true, info.st_rdev, 0, 0);
    if (S_ISREG(info.st_mode)) return TargetIdentity(false, 0, info.st_dev, info.st_ino);
    return std::nullopt;
}

std::optional<TargetIdentity> TargetIdentity::OfPath(const char* path) {
    struct stat info {};
    if (::stat(path, &info) != 0) return std::nullopt;
    return Of(info);
}

bool TargetIdentity::Matches(const struct stat& info) const {
    const auto other = Of(info);
    return other && other->WithSequence(sequence_) == *this;
}

TargetIdentity TargetIdentity::WithSequence(uint64_t sequence) const {
    TargetIdentity copy = *this;
    copy.sequence_ = block_ ? sequence : 0;
    return copy;
}

bool TargetIdentity::MatchesDescriptor(int fd) const {
    struct stat info {};
    return MatchesDescriptor(fd, info);
}

bool TargetIdentity::MatchesDescriptor(int fd, struct stat& info) const {
    if (fd < 0 || ::fstat(fd, &info) != 0 || !Matches(info)) return false;
    if (sequence_ == 0) return true;
    const uint64_t now = DiskSequenceOf(fd);
    return now == 0 || now == sequence_;
}

}  // namespace tavrin
