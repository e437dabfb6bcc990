// SPDX-License-Identifier: Apache-2.0
#include "cli/CliArguments.h"

#include <functional>
#include <map>

namespace tavrin {

namespace {

struct Range {
    int low, high;
};

bool ParseNumber(const std::string& text, Range range, int& value) {
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    value = std::stoi(text);
    return value >= range.low && value <= range.high;
}

std::optional<CliCommand> CommandNamed(const std::string& name) {
    static const std::map<std::string, CliCommand> commands{
        {"list", CliCommand::List},   {"program", CliCommand::Program}, {"verify", CliCommand::Verify},
        {"info", CliCommand::Info},   {"erase", CliCommand::Erase},     {"settings", CliCommand::Settings},
        {"help", CliCommand::Help},   {"--help", CliCommand::Help},     {"-h", CliCommand::Help},
        {"--version", CliCommand::Version}, {"-V", CliCommand::Version}};
    auto it = commands.find(name);
    if (it == commands.end()) return std::nullopt;
    return it->second;
}

// "-b 2", "-b2" and "--bank 2" are one option; "-y" and "--yes" one flag.
std::string LongForm(const std::string& word) {
    static const std::map<char, std::pair<std::string, bool>> shortNames{
        {'y', {"--yes", false}}, {'b', {"--bank", true}}, {'d', {"--disk", true}},
        {'h', {"--help", false}}, {'V', {"--version", false}}};
    if (word.size() < 2 || word[1] == '-') return word;
    auto it = shortNames.find(word[1]);
    if (it == shortNames.end()) return word;
    const auto& [longName, takesValue] = it->second;
    if (word.size() == 2) return longName;
    return takesValue ? longName + "=" + word.substr(2) : word;
}

class Parser {
public:
    explicit Parser(const std::vector<std::string>& argv) : argv_(argv) {}

    ParsedArguments Parse() {
        if (argv_.size() < 2) return Fail("no command given");
        auto command = CommandNamed(argv_[1]);
        if (!command) return Fail("unknown command '" + argv_[1] + "'");
        result_.arguments.command = *command;
        bool optionsEnded = false;
        for (index_ = 2; index_ < argv_.size(); ++index_) {
            const std::string& word = argv_[index_];
            if (!optionsEnded && word == "--") {
                optionsEnded = true;
            } else if (!optionsEnded && word.size() > 1 && word[0] == '-') {
                if (!Option(word)) return result_;
            } else {
                result_.arguments.files.push_back(word);
            }
        }
        if (!CheckShape()) return result_;
        result_.ok = true;
        return result_;
    }

private:
    ParsedArguments Fail(const std::string& error) {
        Error(error);
        return result_;
    }

    bool Error(const std::string& error) {
        result_.ok = false;
        result_.error = error;
        return false;
    }

    // The value of `--name VALUE` or `--name=VALUE`.
    bool Value(const std::string& name, const std::string& inlineValue, bool hasInline, std::string& value) {
        if (hasInline) {
            value = inlineValue;
            return true;
        }
        if (index_ + 1 >= argv_.size()) {
            return Error("option " + name + " needs a value");
        }
        value = argv_[++index_];
        return true;
    }

    bool Number(const std::string& name, const std::string& text, Range range, std::optional<int>& into) {
        int value = 0;
        if (!ParseNumber(text, range, value)) {
            return Error("option " + name + " takes a number from " + std::to_string(range.low) + " to " +
                         std::to_string(range.high) + ", not '" + text + "'");
        }
        into = value;
        return true;
    }

    bool Option(const std::string& given) {
        const std::string word = LongForm(given);
        const size_t equals = word.find('=');
        const std::string name = word.substr(0, equals);
        const bool hasInline = equals != std::string::npos;
        const std::string inlineValue = hasInline ? word.substr(equals + 1) : "";
        CliArguments& a = result_.arguments;
        const std::map<std::string, std::function<void()>> flags{
            {"--parallel", [&] { a.parallelMode = 1; }}, {"--serial", [&] { a.parallelMode = 0; }},
            {"--init", [&] { a.initializeDisk = true; }}, {"--yes", [&] { a.yes = true; }},
            {"--verify", [&] { a.autoVerify = 1; }},     {"--no-verify", [&] { a.autoVerify = 0; }},
            {"--hi-speed", [&] { a.hiSpeed = 1; }},      {"--quick", [&] { a.quickErase = 1; }},
            {"--full", [&] { a.quickErase = 0; }},       {"--tsv", [&] { a.tsv = true; }},
            {"--help", [&] { a.command = CliCommand::Help; }},
            {"--version", [&] { a.command = CliCommand::Version; }}};
        if (auto flag = flags.find(name); flag != flags.end()) {
            if (hasInline) return Error("option " + name + " takes no value");
            flag->second();
            return true;
        }
        const std::map<std::string, std::pair<Range, std::optional<int>*>> numbers{
            {"--frequency", {{0, 3}, &a.frequency}}, {"--retry", {{0, 15}, &a.retry}}, {"--delay", {{0, 255}, &a.delay}}};
        std::string value;
        if (auto number = numbers.find(name); number != numbers.end()) {
            return Value(name, inlineValue, hasInline, value) &&
                   Number(name, value, number->second.first, *number->second.second);
        }
        if (name == "--bank") {
            std::optional<int> bank;
            if (!Value(name, inlineValue, hasInline, value) || !Number(name, value, {1, 4}, bank)) return false;
            a.bank = *bank;
            a.bankGiven = true;
            return true;
        }
        if (name == "--disk") return Value(name, inlineValue, hasInline, a.disk);
        if (name == "--settings") return Value(name, inlineValue, hasInline, a.settingsFile);
        if (name == "--lang") {
            if (!Value(name, inlineValue, hasInline, value)) return false;
            if (value != "en" && value != "ja") return Error("option --lang takes en or ja, not '" + value + "'");
            a.language = value == "ja" ? 1 : 0;
            return true;
        }
        return Error("unknown option '" + given + "'");
    }

    bool CheckShape() {
        const CliArguments& a = result_.arguments;
        switch (a.command) {
            case CliCommand::Help:
            case CliCommand::Version:
                return true;
            case CliCommand::List:
                if (!a.files.empty() || !a.disk.empty()) return Error("list takes no arguments");
                return true;
            case CliCommand::Settings:
                if (a.files.size() != 1) return Error("settings takes one settings file");
                return true;
            case CliCommand::Erase:
                if (!a.files.empty()) return Error("erase takes no configuration files");
                if (a.bankGiven) return Error("erase takes no --bank: it erases the whole card");
                break;
            default:
                if (a.files.size() > 8) return Error("at most eight configuration files");
                break;
        }
        if (a.disk.empty()) return Error("--disk TARGET is missing");
        return true;
    }

    const std::vector<std::string>& argv_;
    size_t index_ = 0;
    ParsedArguments result_;
};

}  // namespace

ParsedArguments ParseArguments(const std::vector<std::string>& argv) { return Parser(argv).Parse(); }

const char* UsageText() {
    return "usage: tavrin-cli list\n"
           "       tavrin-cli program  [options] --disk TARGET [FILE1 ... FILE8]\n"
           "       tavrin-cli verify   [options] --disk TARGET [FILE1 ... FILE8]\n"
           "       tavrin-cli info     [options] --disk TARGET [FILE1 ... FILE8]\n"
           "       tavrin-cli erase    [options] --disk TARGET\n"
           "       tavrin-cli settings FILE.tvs\n"
           "       tavrin-cli -h|--help | -V|--version\n"
           "Run 'tavrin-cli --help' for the options.\n";
}

const char* HelpText() {
    return "tavrin-cli: program, verify, inspect and erase Tavrin configuration cards.\n\n"
           "usage: tavrin-cli list\n"
           "       tavrin-cli program  [options] --disk TARGET [FILE1 ... FILE8]\n"
           "       tavrin-cli verify   [options] --disk TARGET [FILE1 ... FILE8]\n"
           "       tavrin-cli info     [options] --disk TARGET [FILE1 ... FILE8]\n"
           "       tavrin-cli erase    [options] --disk TARGET\n"
           "       tavrin-cli settings FILE.tvs\n\n"
           "TARGET is an image file (it must exist and is never grown), a block device such as\n"
           "/dev/sdb, or a drive number as 'list' prints it. FILE arguments fill File#1, File#2, ...\n"
           "in order (.bit, .bin or .rbf); an empty argument (\"\") leaves its slot empty.\n\n"
           "options:\n"
           "  -d, --disk TARGET\n"
           "                   the card or image file to work on\n"
           "  -b, --bank N     bank 1 to 4 (default 1)\n"
           "  --parallel       Parallel Mode Configuration (File#1 only); --serial undoes it\n"
           "  --init           Initialize Disk: allow a card that is not in Tavrin format\n"
           "  -y, --yes        answer Yes to every question\n"
           "  --verify         Auto Verify after Program; --no-verify turns it off\n"
           "  --frequency N    configuration speed code 0 to 3 (3 needs --hi-speed)\n"
           "  --hi-speed       hi-speed microSD\n"
           "  --retry N        retries after a failed configuration, 0 to 15\n"
           "  --delay N        additional delay after the card is ready, 0 to 255 (x10 ms)\n"
           "  --quick, --full  Quick Erase (bank sectors only) or full Erase\n"
           "  --lang en|ja     language of the messages\n"
           "  --settings FILE  start from the values of a settings file (.tvs), file names included\n"
           "  --tsv            info: tab-separated lines instead of columns; list: sizes in bytes\n"
           "  -h, --help       this text\n"
           "  -V, --version    the version\n"
           "  --               the arguments after it are files\n\n"
           "Without --settings: English, Auto Verify off, Quick Erase on, frequency 2, no hi-speed,\n"
           "retry 4, delay 0. Questions are answered No without a terminal, unless --yes.\n\n"
           "exit status:\n"
           "  0  done\n"
           "  1  failed\n"
           "  2  usage error\n"
           "  3  a question was answered No\n";
}

}  // namespace tavrin
