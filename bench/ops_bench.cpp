// SPDX-License-Identifier: Apache-2.0
// Program and Verify of a 64 MiB bank on an image file in tmpfs, side by side with dd and cmp
// over the same bytes, and the peak memory of tavrin-cli doing the same.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "card/CardLayout.h"
#include "disk/Drives.h"
#include "ops/Operations.h"
#include "support/QuietHost.h"

using namespace tavrin;

extern char** environ;

namespace {

constexpr uint64_t kBankBytes = 64ull << 20;
constexpr uint64_t kCardSectors = 2 * kBankBytes / 512;

// Answers Yes and shows nothing.
class YesHost : public QuietHost {
public:
    MsgAnswer ShowMessage(const std::string&, MsgButtons buttons, MsgIcon) override {
        return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Yes;
    }
    bool InitializeDiskTicked() override { return true; }
};

// A tmpfs folder with a card image and the configuration files of one 64 MiB bank.
struct BenchCard {
    std::string dir, image, rbf, lane;
    int drive = -1;

    BenchCard() {
        std::string pattern = "/dev/shm/tavrin-bench-XXXXXX";
        dir = ::mkdtemp(pattern.data()) ? pattern : "";
        image = dir + "/card.img";
        rbf = dir + "/parallel.rbf";
        lane = dir + "/lane.rbf";
        std::filesystem::resize_file(Create(image), kCardSectors * 512);
        WriteRandom(rbf, kBankBytes - 1);      // parallel: K just under 64 MiB
        WriteRandom(lane, kBankBytes / 4 - 1);  // four lanes of it make the same image size
        drive = RegisterDrivePath(image);
    }
    ~BenchCard() { std::filesystem::remove_all(dir); }

    static std::string Create(const std::string& path) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (f) std::fclose(f);
        return path;
    }
    static void WriteRandom(const std::string& path, uint64_t size) {
        std::mt19937 random(1);
        std::vector<uint8_t> block(1 << 20);
        std::FILE* f = std::fopen(path.c_str(), "wb");
        for (uint64_t done = 0; done < size; done += block.size()) {
            for (auto& b : block) b = static_cast<uint8_t>(random());
            std::fwrite(block.data(), 1, std::min<uint64_t>(block.size(), size - done), f);
        }
        std::fclose(f);
    }

    OperationContext Context(const std::vector<std::string>& files, int parallel) const {
        OperationContext context;
        context.card.diskList.entries.push_back({"Disk", drive});
        context.card.diskList.selected = 0;
        for (size_t i = 0; i < files.size(); ++i) context.state.fileName[i] = files[i];
        context.state.parallelMode = parallel;
        context.hardware = {2, 0, 4, 0};
        return context;
    }
};

BenchCard& Card() {
    static BenchCard card;
    return card;
}

int Run(const std::string& command) { return std::system(command.c_str()); }

void Operation(benchmark::State& state, bool verify, const std::vector<std::string>& files, int parallel) {
    YesHost host;
    OperationContext context = Card().Context(files, parallel);
    RescanBanks(context.card, context.makeDevice);
    if (verify && !ProgramCard(host, context)) state.SkipWithError("program failed");
    for (auto _ : state) {
        RescanBanks(context.card, context.makeDevice);
        if (!(verify ? VerifyCard(host, context) : ProgramCard(host, context))) state.SkipWithError("failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBankBytes));
}

void BM_ProgramParallel64MiB(benchmark::State& state) { Operation(state, false, {Card().rbf}, 1); }
void BM_ProgramFourLanes64MiB(benchmark::State& state) {
    const std::string& lane = Card().lane;
    Operation(state, false, {lane, lane, lane, lane}, 0);
}
void BM_DdWrite64MiB(benchmark::State& state) {
    // The same bytes at the same place: the bank's data start, 64 KiB in.
    const std::string command = "dd if=" + Card().rbf + " of=" + Card().image +
                                " bs=16k seek=4 conv=fsync,notrunc status=none";
    for (auto _ : state) Run(command);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBankBytes));
}
void BM_VerifyParallel64MiB(benchmark::State& state) { Operation(state, true, {Card().rbf}, 1); }
void BM_Cmp64MiB(benchmark::State& state) {
    const std::string command = "cmp -s -n " + std::to_string(kBankBytes - 1) + " -i 0:65536 " + Card().rbf + " " +
                                Card().image;
    for (auto _ : state) Run(command);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBankBytes));
}

// Peak resident memory of tavrin-cli programming and verifying the bank, in KiB.
void BM_CliPeakMemory64MiB(benchmark::State& state) {
    std::vector<std::string> words{TAVRIN_CLI_PATH, "program", "--parallel", "--yes", "--verify",
                                   "--disk",        Card().image, Card().rbf};
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    long peak = 0;
    for (auto _ : state) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
            int status = 0;
            rusage usage{};
            ::wait4(pid, &status, 0, &usage);
            peak = std::max(peak, usage.ru_maxrss);
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("tavrin-cli failed");
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    state.counters["peak_rss_KiB"] = static_cast<double>(peak);
}

}  // namespace

BENCHMARK(BM_DdWrite64MiB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_ProgramParallel64MiB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_ProgramFourLanes64MiB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
// Verify programs the parallel bank first, which cmp then compares with its file.
BENCHMARK(BM_VerifyParallel64MiB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_Cmp64MiB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_CliPeakMemory64MiB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
