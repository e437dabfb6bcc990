// SPDX-License-Identifier: Apache-2.0
#pragma once
#include "disk/DiskSectorRW.h"
#include "disk/Drives.h"
#include "ops/CardSelection.h"
#include "ops/HeaderReads.h"
#include "ops/OperationHost.h"
#include "ops/PosixInputFile.h"
#include "settings/SettingsRecords.h"

namespace tavrin {

// Everything an operation reads. The host keeps it; the frame refreshes the card selection
// and takes the controls into `state` before each run.
struct OperationContext {
    WindowState state;
    CardSelection card;
    OperationSettings operation;
    HardwareSettings hardware;
    DeviceFactory makeDevice = CreateSectorDevice;
    FileOpener openFile = OpenInputFile;
    // The exclusive hold that Program, Verify and Erase keep on the card from start to end.
    DriveClaimer claimDrive = ClaimDrive;
    // The hold taken quietly before an operation's first look at the card (by the frame, or by
    // the command line for its whole run), kept across Program and its Verify so that no other
    // run comes between them; and the drive it was tried for (-1: none), held or refused.
    std::shared_ptr<DriveClaim> frameClaim;
    int frameClaimDrive = -1;
    // The first sectors as this operation read them, while a HeaderReadScope lives.
    std::shared_ptr<HeaderReads> headerReads;
};

// The button handlers: rescan, take the controls, run, report in one message, refresh after
// success, reset the progress display always. They return whether the operation succeeded.
bool OnProgram(OperationHost& host, OperationContext& context);
bool OnVerify(OperationHost& host, OperationContext& context);
bool OnCheckInfo(OperationHost& host, OperationContext& context);
bool OnErase(OperationHost& host, OperationContext& context);

// The operations themselves, without the frame.
bool ProgramCard(OperationHost& host, OperationContext& context);
bool VerifyCard(OperationHost& host, OperationContext& context);
int EraseCard(OperationHost& host, OperationContext& context);

}  // namespace tavrin
