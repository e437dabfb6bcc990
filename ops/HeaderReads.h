// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstdint>
#include <memory>

#include "card/CardLayout.h"
#include "disk/AlignedBuffer.h"
#include "disk/DiskSectorRW.h"

namespace tavrin {

struct OperationContext;

// The card's first sectors (format mark and bank table) as one operation last read them: a
// card pays a whole command for each small read, and the list, the bank scans and the run
// each look at them. Reads that lie inside these sectors are answered from here, until
// anything is written or the operation forgets them (it does when it takes the card's hold, so
// what it decides on is read under the hold). While they are held, a look (OpenToLook) goes to
// the card only if something beyond them is asked for: each open of a removable disk costs
// commands of its own (the kernel asks whether the medium changed), and the path is checked to
// name the same device instead.
class HeaderReads {
public:
    static constexpr uint32_t kBytes = kBankCount * kSectorSize;

    // Devices of `inner` whose reads of the first sectors go through `reads`.
    static DeviceFactory Wrap(std::shared_ptr<HeaderReads> reads, DeviceFactory inner);
    void Forget() { state_ = State::None; }
    bool Holds(int drive) const { return state_ == State::Held && drive_ == drive; }

private:
    friend class HeaderReadingDevice;
    enum class State { None, Held, Unreadable };
    bool Read(DiskSectorRW& device, int drive, uint32_t offset, void* buffer, uint32_t count);

    State state_ = State::None;
    int drive_ = -1;
    AlignedBuffer bytes_{kBytes};
};

// One operation's HeaderReads in `context`, from construction to destruction: its devices are
// wrapped meanwhile. A scope inside another (the frame inside the command line's run) shares
// the outer one.
class HeaderReadScope {
public:
    explicit HeaderReadScope(OperationContext& context);
    ~HeaderReadScope();
    HeaderReadScope(const HeaderReadScope&) = delete;
    HeaderReadScope& operator=(const HeaderReadScope&) = delete;

private:
    OperationContext& context_;
    DeviceFactory outer_;
    bool owner_ = false;
};

}  // namespace tavrin
