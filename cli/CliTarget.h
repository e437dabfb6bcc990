// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

namespace tavrin {

// The drive number of the card named by --disk: a number from `list`, a block device or an
// existing image file. -1 and a message when it names none of them.
struct ResolvedTarget {
    int drive = -1;
    std::string error;
};
ResolvedTarget ResolveTarget(const std::string& target);

}  // namespace tavrin
