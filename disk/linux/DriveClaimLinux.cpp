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
class FlockClaim : public DriveClaim {
public:
    explicit FlockClaim(int fd) : fd_(fd) {}
    ~FlockClaim() override { ::close(fd_); }
    FlockClaim(const FlockClaim&) = delete;
    FlockClaim& operator=(const FlockClaim&) = delete;

private:
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
    return {std::make_unique<FlockClaim>(fd), ""};
}

}  // namespace tavrin
