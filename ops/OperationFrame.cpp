// SPDX-License-Identifier: Apache-2.0
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

void RefreshAfterSuccess(OperationHost& host, OperationContext& context) {
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
    Before(host, context);
    // Taken quietly: when it cannot be had, Program takes it again and says why.
    context.frameClaimDrive = context.card.Drive();
    if (context.claimDrive) context.frameClaim = std::move(context.claimDrive(context.frameClaimDrive).claim);
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
    context.frameClaim.reset();
    After(host, context, OpButton::Program);
    return programmed && verified;
}

bool OnVerify(OperationHost& host, OperationContext& context) {
    const HeaderReadScope reads(context);
    Before(host, context);
    const bool verified = VerifyCard(host, context);
    if (verified) Completed(host, LocalText(context.operation.language, texts::kVerifyCompleted));
    After(host, context, OpButton::Verify);
    return verified;
}

bool OnErase(OperationHost& host, OperationContext& context) {
    const HeaderReadScope reads(context);
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
