// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>
#include <optional>
#include <string>

namespace tavrin {

class MessageBoxHost;

enum class NameCheckForm { ExistenceChecking, Plain };

// Returns the mask of slots in use (bit n - 1 for File#n), or nothing after showing the
// message for the first bad name. The plain form checks nothing and never fails.
std::optional<unsigned> CheckFileNames(const std::array<std::string, 8>& fileName, int parallelMode,
                                       NameCheckForm form, int language, MessageBoxHost& host);

}  // namespace tavrin
