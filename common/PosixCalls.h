// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cerrno>
#include <optional>
#include <string>

// Repeats a system call that a signal interrupted before it did anything.
template <typename Call>
auto RetryInterrupted(Call call) {
    decltype(call()) result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

// The whole of a small text file (sysfs attributes, the mount table); nothing when it cannot
// be opened.
std::optional<std::string> ReadWholeFile(const std::string& path);
