// SPDX-License-Identifier: Apache-2.0
#include "ui/WindowCommandLine.h"

#include <cstdio>
#include <set>
#include <string>

#include "TavrinVersion.h"

namespace tavrin {

namespace {

constexpr const char* kUsage =
    "usage: tavrin [-h|--help] [-V|--version]\n"
    "Opens the Tavrin window; tavrin-cli runs the same operations from a terminal.\n";

// QApplication reads these itself, with one dash or two.
const std::set<std::string> kQtOptionsWithValue{
    "platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger", "qwindowgeometry",
    "qwindowicon", "qwindowtitle", "style", "stylesheet", "session", "display", "geometry", "name", "title"};
const std::set<std::string> kQtFlags{"reverse", "widgetcount", "nograb", "dograb", "sync"};

std::string WithoutDashes(const std::string& word) {
    const size_t dashes = word.starts_with("--") ? 2 : word.starts_with('-') ? 1 : 0;
    return word.substr(dashes, word.find('=') == std::string::npos ? std::string::npos : word.find('=') - dashes);
}

int Refuse(const std::string& why) {
    std::fprintf(stderr, "tavrin: %s\n%s", why.c_str(), kUsage);
    return 2;
}

}  // namespace

std::optional<int> AnswerWindowCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "-h" || word == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (word == "-V" || word == "--version") {
            std::printf("tavrin %s\n", kTavrinVersion);
            return 0;
        }
        if (word.size() < 2 || word[0] != '-') return Refuse("unexpected argument '" + word + "'");
        const std::string name = WithoutDashes(word);
        if (kQtFlags.count(name)) continue;
        if (!kQtOptionsWithValue.count(name)) return Refuse("unknown option '" + word + "'");
        if (word.find('=') == std::string::npos && ++i >= argc) return Refuse("option " + word + " needs a value");
    }
    return std::nullopt;
}

}  // namespace tavrin
