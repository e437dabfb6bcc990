// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <functional>
#include <string>

// Whole-file reads and atomic whole-file replacement for small text files.

enum class FileReadResult { Read, Missing, Failed };

// Reads a regular file completely; Missing when nothing exists at the path.
FileReadResult ReadFileBytes(const std::string& path, std::string& bytes);

// Replaces (or creates) the file with the bytes: temporary file in the same folder, write,
// fsync, rename. On failure the old file is untouched and no temporary file is left.
// A symbolic link is followed, so the link itself stays.
bool ReplaceFileBytes(const std::string& path, const std::string& bytes);

// Test seam: consulted before each step of a replacement; returning true makes that step fail
// as if the system had refused it (a failed write has written part of the bytes first).
enum class FileWriteStep { CreateTemporary, WriteTemporary, Rename };
using FileFailureHook = std::function<bool(FileWriteStep)>;
void SetFileFailureHook(FileFailureHook hook);
