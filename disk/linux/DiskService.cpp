// SPDX-License-Identifier: Apache-2.0
#include "disk/linux/DiskService.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "disk/Drives.h"

#ifdef TAVRIN_WITH_UDISKS
#include "disk/linux/UdisksService.h"
#endif

namespace tavrin {

namespace {

class NoService : public DiskService {
public:
    Result OpenDisk(dev_t, bool, bool, int&) override { return Result::Missing; }
    Result Unmount(dev_t) override { return Result::Missing; }
    bool IsRemovableMedia(dev_t) override { return false; }
};

std::unique_ptr<DiskService> SystemService() {
#ifdef TAVRIN_WITH_UDISKS
    return std::make_unique<UdisksService>();
#else
    return std::make_unique<NoService>();
#endif
}

// Keeps the promise of one prompt per run and notes why the last request came to nothing.
class GuardedService : public DiskService {
public:
    Result OpenDisk(dev_t disk, bool writable, bool prompt, int& fd) override {
        const bool ask = prompt && prompting_ == 0;
        if (refused_) return ask ? Note(Result::Refused) : Result::Refused;
        const Result result = Inner().OpenDisk(disk, writable, ask, fd);
        // A request without a prompt that is not authorized yet is no refusal by the user.
        return !ask && result == Result::Refused ? result : Note(result);
    }
    Result Unmount(dev_t device) override {
        if (refused_) return Note(Result::Refused);
        return Note(Inner().Unmount(device));
    }
    bool IsRemovableMedia(dev_t disk) override { return Inner().IsRemovableMedia(disk); }

    void Replace(std::unique_ptr<DiskService> service) {
        inner_ = std::move(service);
        refused_ = false;
        lastRefusal_ = AccessRefusal::None;
    }
    AccessRefusal LastRefusal() const { return lastRefusal_; }

    int prompting_ = 0;  // quiet scopes alive

private:
    DiskService& Inner() {
        if (!inner_) inner_ = SystemService();
        return *inner_;
    }
    Result Note(Result result) {
        if (result == Result::Refused) refused_ = true;
        if (result == Result::Refused) lastRefusal_ = AccessRefusal::PromptRefused;
        if (result == Result::Missing) lastRefusal_ = AccessRefusal::NoService;
        return result;
    }

    std::unique_ptr<DiskService> inner_;
    bool refused_ = false;
    AccessRefusal lastRefusal_ = AccessRefusal::None;
};

GuardedService& Guard() {
    static GuardedService guard;
    return guard;
}

bool& DirectRefusedForTesting() {
    static bool refused = false;
    return refused;
}

}  // namespace

DiskService& TheDiskService() { return Guard(); }

void SetDiskServiceForTesting(std::unique_ptr<DiskService> service) { Guard().Replace(std::move(service)); }

void SetDirectAccessRefusedForTesting(bool refused) { DirectRefusedForTesting() = refused; }

bool DirectAccessRefusedForTesting() { return DirectRefusedForTesting(); }

bool DirectAccessRefused(const char* path) {
    if (DirectRefusedForTesting()) return true;
    return ::faccessat(AT_FDCWD, path, R_OK | W_OK, AT_EACCESS) != 0 && ServiceMayStandIn(errno);
}

bool ServiceMayStandIn(int error) {
    if (DirectRefusedForTesting()) return true;
    return (error == EACCES || error == EPERM) && ::geteuid() != 0;
}

AccessRefusal LastAccessRefusal() { return Guard().LastRefusal(); }

QuietDiskAccess::QuietDiskAccess() { ++Guard().prompting_; }

QuietDiskAccess::~QuietDiskAccess() { --Guard().prompting_; }

}  // namespace tavrin
