// SPDX-License-Identifier: Apache-2.0
#pragma once
#include "ops/OperationHost.h"

namespace tavrin {

// A host with no window: nothing to show progress on, no controls to exchange, one fixed card.
// Those that use it (benchmarks, fuzzers) answer the message boxes themselves.
class QuietHost : public OperationHost {
public:
    void SetPercentText(OpButton, const std::string&) override {}
    void SetProgress(int) override {}
    void EnableButton(OpButton, bool) override {}
    void RepaintNow() override {}
    void UntickInitializeDisk() override {}
    void TakeControls(WindowState&) override {}
    void PutStateBack(const WindowState&) override {}
    void ShowCardSelection(const CardSelection&) override {}
    void RefreshDiskList(CardSelection&, const DeviceFactory&) override {}
    void ShowBankInfo(const BankInfoData&) override {}
};

}  // namespace tavrin
