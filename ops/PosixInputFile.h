// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <memory>
#include <string>

#include "card/InputFile.h"

namespace tavrin {

// A configuration file on this machine, or nullptr when it cannot be opened for reading or is
// not a regular file.
std::unique_ptr<InputFile> OpenInputFile(const std::string& path);

}  // namespace tavrin
