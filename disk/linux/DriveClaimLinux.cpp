// SPDX-License-Identifier: Apache-2.0
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "common/PosixCalls.h"
#include "disk/Drives.h"
#include "disk/linux/DiskService.h"
#include "disk/linux/DriveRegistry.h"

namespace tavrin {

namespace {

// An advisory lock on the image file or the device node, the same one udev honours for a
// whole disk: held by one open descriptor until the claim goes.
// The disk it holds is pinned by its sequence meanwhile.
class FlockClaim : public DriveClaim {
public:
    FlockClaim(int drive, int fd) : drive_(drive), fd_(fd) { PinDiskSequence(drive_, DiskSequenceOf(fd_)); }
    ~FlockClaim() override {
        PinDiskSequence(drive_, 0);
        ::close(fd_);
    }
    FlockClaim(const FlockClaim&) = delete;
    FlockClaim& operator=(const FlockClaim&) = delete;

private:
    int drive_;
    int fd_;
};

}  // namespace

ClaimAttempt ClaimDrive(int drive) {
    const int fd = OpenDriveNode(drive, O_RDONLY | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        // A user the system keeps out cannot lock the node: the disk service's exclusive open
        // is what holds the card then.
        if (ServiceMayStandIn(error)) return {std::make_unique<DriveClaim>(), ""};
        return {nullptr, OpenFailureReason(error)};
    }
    const int locked = RetryInterrupted([&] { return ::flock(fd, LOCK_EX | LOCK_NB); });
    if (locked != 0) {
        const int error = errno;
        ::close(fd);
        return {nullptr, error == EWOULDBLOCK ? "another run is using this card" : OpenFailureReason(error)};
    }
    return {std::make_unique<FlockClaim>(drive, fd), ""};
}

}  // namespace tavrin
