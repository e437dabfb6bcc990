// SPDX-License-Identifier: Apache-2.0
#include "card/NameRules.h"

namespace tavrin {

std::string LowerExtension(const std::string& name) {
    return LowerAscii(name.size() > 4 ? name.substr(name.size() - 4) : name);
}

bool HasSyncWordExtension(const std::string& name) {
    const std::string extension = LowerExtension(name);
    return extension == ".bit" || extension == ".bin";
}

bool HasSupportedExtension(const std::string& name) {
    return HasSyncWordExtension(name) || LowerExtension(name) == ".rbf";
}

}  // namespace tavrin
