// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <functional>
#include <string>

#include "common/PosixCalls.h"

namespace tavrin {

// Whole-file reads and atomic whole-file replacement for small text files.

// Settings files are small: anything larger is not read (a huge file must not fill memory).
constexpr size_t kMaxReadFileBytes = 1 << 20;

// Replaces (or creates) the file with the bytes: temporary file in the same folder, write,
// fsync, rename. On failure the old file is untouched and no temporary file is left.
// A symbolic link is followed only when the links and their target belong to the writing
// user (or all to root); otherwise the link itself is replaced.
bool ReplaceFileBytes(const std::string& path, const std::string& bytes);

// True when a replacement of the path would replace a symbolic link there rather than follow
// it; what the link points to then has no part in the new file.
bool ReplacesLink(const std::string& path);

// Test seam: consulted before each step of a replacement; returning true makes that step fail
// as if the system had refused it (a failed write has written part of the bytes first).
enum class FileWriteStep { CreateTemporary, WriteTemporary, Rename };
using FileFailureHook = std::function<bool(FileWriteStep)>;
void SetFileFailureHook(FileFailureHook hook);

}  // namespace tavrin
