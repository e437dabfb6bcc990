// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "disk/linux/DiskService.h"
#include "support/FakeDriveTree.h"

namespace tavrin {

namespace opstest {

// What the stand-in for the desktop's disk service answers, and what it was asked.
struct ServiceScript {
    DiskService::Result openResult = DiskService::Result::Done;
    bool busyWhenWritable = false;   // an exclusive open is refused, as on a mounted card
    std::string handOut;             // another file's descriptor instead of the card's
    DiskService::Result unmountResult = DiskService::Result::Done;
    bool unmountLeavesMounted = false;
    bool removable = true;

    std::vector<bool> openPrompts;   // one entry per OpenDisk: whether it might prompt
    std::vector<dev_t> unmounted;    // device numbers given to Unmount
};

// Disk "sdb" of a fake drive tree that the system refuses to open for this process, with a
// stand-in disk service that opens its node. Everything is put back when the rig goes.
class ServiceAccessRig {
public:
    ServiceAccessRig(uint64_t sectors, uint64_t partitionStart);
    ~ServiceAccessRig();
    ServiceAccessRig(const ServiceAccessRig&) = delete;
    ServiceAccessRig& operator=(const ServiceAccessRig&) = delete;

    FakeDriveTree& Tree() { return tree_; }
    std::string Node() const { return tree_.NodePath("sdb"); }
    ServiceScript& Script() { return *script_; }

private:
    FakeDriveTree tree_;
    std::shared_ptr<ServiceScript> script_ = std::make_shared<ServiceScript>();
};

}  // namespace opstest

}  // namespace tavrin
