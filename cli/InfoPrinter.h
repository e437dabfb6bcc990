// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstdio>

#include "ops/OperationHost.h"

namespace tavrin {

// What the File Information dialog shows: aligned columns, or tab-separated lines for scripts.
void PrintBankInfo(std::FILE* out, const BankInfoData& info);
void PrintBankInfoTsv(std::FILE* out, const BankInfoData& info);

}  // namespace tavrin
