// SPDX-License-Identifier: Apache-2.0
#include "support/CliRunner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/PosixCalls.h"

extern char** environ;

namespace tavrin {

namespace opstest {

CliResult RunCli(const std::vector<std::string>& arguments, const std::vector<std::string>& environment) {
    char outPath[] = "/tmp/tavrin-cli-out-XXXXXX";
    char errPath[] = "/tmp/tavrin-cli-err-XXXXXX";
    const int outFd = ::mkstemp(outPath);
    const int errFd = ::mkstemp(errPath);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    posix_spawn_file_actions_adddup2(&actions, errFd, 2);

    std::vector<std::string> words{TAVRIN_CLI_PATH};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    std::vector<std::string> variables(environment);
    for (char** v = environ; *v != nullptr; ++v) variables.emplace_back(*v);
    std::vector<char*> envp;
    for (auto& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);

    CliResult result;
    pid_t pid = 0;
    if (posix_spawn(&pid, TAVRIN_CLI_PATH, &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(outFd);
    ::close(errFd);
    result.out = ReadWholeFile(outPath).value_or("");
    result.err = ReadWholeFile(errPath).value_or("");
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return result;
}

std::vector<std::string> FailingCallEnvironment(const std::string& call) {
    // A sanitizer runtime wants to be first; the preloaded library comes before it on purpose.
    const char* asan = std::getenv("ASAN_OPTIONS");
    return {std::string("LD_PRELOAD=") + TAVRIN_FAILING_CALL_LIB, "TAVRIN_FAIL=" + call,
            std::string("ASAN_OPTIONS=") + (asan ? std::string(asan) + ":" : "") + "verify_asan_link_order=0"};
}

}  // namespace opstest

}  // namespace tavrin
