// SPDX-License-Identifier: Apache-2.0
#pragma once
#include "ops/Operations.h"

namespace tavrin {

// Check Info without the frame: fills what the File Information dialog shows. False after one
// message (or the name check's own) when the dialog is not to be shown.
bool CheckInfoCard(OperationHost& host, OperationContext& context, BankInfoData& info);

}  // namespace tavrin
