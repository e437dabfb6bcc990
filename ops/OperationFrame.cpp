// SPDX-License-Identifier: Apache-2.0
#include "ops/CardRun.h"
#include "ops/CheckInfo.h"
#include "ops/OpMessages.h"
#include "ops/Operations.h"
#include "text/Texts.h"

namespace tavrin {

namespace {

void Rescan(OperationHost& host, OperationContext& context) {
    RescanBanks(context.card, context.makeDevice);
    host.ShowCardSelection(context.card);
}

void Before(OperationHost& host, OperationContext& context) {
    Rescan(host, context);
    host.TakeControls(context.state);
}

void Completed(OperationHost& host, const char* text) {
    host.ShowMessage(text, MsgButtons::Ok, MsgIcon::Information);
}

// The card is held from before the frame's first look at it to the end of the run (Program's
// Verify included), so that the look and the run's are one read, under the hold. A hold the
// caller took already stays the caller's.
class FrameHold {
public:
    explicit FrameHold(OperationContext& context) : context_(context) {
        const int drive = context_.card.Drive();
        taken_ = context_.frameClaimDrive != drive;
        HoldCardQuietly(context_, drive);
    }
    ~FrameHold() {
        if (!taken_) return;
        context_.frameClaim.reset();
        context_.frameClaimDrive = -1;
    }
    FrameHold(const FrameHold&) = delete;
    FrameHold& operator=(const FrameHold&) = delete;

private:
    OperationContext& context_;
    bool taken_;
};

void RefreshAfterSuccess(OperationHost& host, OperationContext& context) {
    if (!host.ShowsCardAfterwards()) return;
    host.RefreshDiskList(context.card, context.makeDevice);
    Rescan(host, context);
}

void After(OperationHost& host, OperationContext& context, OpButton button) {
    host.UntickInitializeDisk();
    if (button == OpButton::Program) ResetProgress(host, OpButton::Verify);
    ResetProgress(host, button);
    host.PutStateBack(context.state);
}

}  // namespace

bool OnProgram(OperationHost& host, OperationContext& context) {
    const HeaderReadScope reads(context);
    const FrameHold hold(context);
    Before(host, context);
    const int language = context.operation.language;
    const bool programmed = ProgramCard(host, context);
    bool verified = true;
    if (programmed) {
        if (context.operation.autoVerify) {
            host.SetProgress(0);
            verified = VerifyCard(host, context);
            if (verified) Completed(host, LocalText(language, texts::kProgramVerifyCompleted));
        } else {
            Completed(host, LocalText(language, texts::kProgramCompleted));
        }
        RefreshAfterSuccess(host, context);
    }
    After(host, context, OpButton::Program);
    return programmed && verified;
}

bool OnVerify(OperationHost& host, OperationContext& context) {
    const HeaderReadScope reads(context);
    const FrameHold hold(context);
    Before(host, context);
    const bool verified = VerifyCard(host, context);
    if (verified) Completed(host, LocalText(context.operation.language, texts::kVerifyCompleted));
    After(host, context, OpButton::Verify);
    return verified;
}

bool OnErase(OperationHost& host, OperationContext& context) {
    const HeaderReadScope reads(context);
    const FrameHold hold(context);
    Before(host, context);
    const bool erased = EraseCard(host, context) == 1;
    if (erased) {
        Completed(host, context.operation.quickErase ? texts::kQuickEraseCompleted : texts::kEraseCompleted);
        RefreshAfterSuccess(host, context);
    }
    After(host, context, OpButton::Erase);
    return erased;
}

bool OnCheckInfo(OperationHost& host, OperationContext& context) {
    const HeaderReadScope reads(context);
    Before(host, context);
    BankInfoData info;
    if (!CheckInfoCard(host, context, info)) return false;
    host.ShowBankInfo(info);
    host.PutStateBack(context.state);
    return true;
}

}  // namespace tavrin
