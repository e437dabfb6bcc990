// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

#include "common/AsciiText.h"

namespace tavrin {

// The last four characters of a name, lower-cased (the whole name when it is shorter).
std::string LowerExtension(const std::string& name);

// .bit and .bin carry a header and a sync word; .rbf is raw data.
bool HasSyncWordExtension(const std::string& name);
bool HasSupportedExtension(const std::string& name);

}  // namespace tavrin
