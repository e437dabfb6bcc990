// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "ops/FileNameCheck.h"
#include "support/RecordingMessageHost.h"
#include "support/ScratchFolder.h"

using namespace tavrin;

namespace {

using Names = std::array<std::string, 8>;

const char kUnsupported[] = "Please select only supported files (*.bit, *.bin, *.rbf).";

class FileNameCheckTest : public ::testing::Test {
protected:
    std::string Make(const std::string& name) { return folder.Write(name, {0xFF}); }

    std::optional<unsigned> Check(const Names& names, int parallel = 0, int language = 0) {
        return CheckFileNames(names, parallel, NameCheckForm::ExistenceChecking, language, host);
    }

    std::string OnlyMessage() {
        EXPECT_EQ(host.messages.size(), 1u);
        if (host.messages.empty()) return {};
        EXPECT_EQ(host.messages[0].icon, MsgIcon::Error);
        EXPECT_EQ(host.messages[0].buttons, MsgButtons::Ok);
        return host.messages[0].text;
    }

    // A path of exactly `length` bytes inside the folder, ending in ".bit".
    std::string PathOfLength(size_t length) {
        std::string prefix = folder.Path().string() + "/";
        std::string rest(length - prefix.size() - 4, 'x');
        for (size_t i = 200; i < rest.size(); i += 200) rest[i] = '/';  // keep each part short
        return prefix + rest + ".bit";
    }

    ScratchFolder folder;
    RecordingMessageHost host;
};

}  // namespace

TEST_F(FileNameCheckTest, MaskOfTheSlotsInUse) {
    Names names{Make("a.bit"), "", Make("c.BIN"), "", "", "", "", Make("h.Rbf")};
    EXPECT_EQ(Check(names), 0x85u);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(Check(Names{}), 0u);
}

TEST_F(FileNameCheckTest, ExtensionCaseDoesNotMatter) {
    EXPECT_EQ(Check({Make("a.BIT"), Make("b.Bit"), Make("c.bIn"), Make("d.RBF")}), 0x0Fu);
}

TEST_F(FileNameCheckTest, UnsupportedExtensions) {
    for (const char* name : {"a.bit.txt", "noextension", "bit", "x.bitt", "a.hex"}) {
        host.messages.clear();
        EXPECT_FALSE(Check({Make(name)}).has_value()) << name;
        EXPECT_EQ(OnlyMessage(), kUnsupported) << name;
    }
}

TEST_F(FileNameCheckTest, MissingFileIsReportedBeforeItsExtension) {
    std::string missing = (folder.Path() / "missing.txt").string();
    EXPECT_FALSE(Check({missing}).has_value());
    EXPECT_EQ(OnlyMessage(), "File [" + missing + "] does not exist.");
}

TEST_F(FileNameCheckTest, FolderIsNotAFile) {
    std::string dir = (folder.Path() / "sub.bit").string();
    std::filesystem::create_directory(dir);
    EXPECT_FALSE(Check({dir}).has_value());
    EXPECT_EQ(OnlyMessage(), "File [" + dir + "] does not exist.");
}

TEST_F(FileNameCheckTest, NamesUpTo259BytesPass) {
    std::string longest = PathOfLength(259);
    ASSERT_EQ(longest.size(), 259u);
    folder.Write(longest.substr(folder.Path().string().size() + 1), {0xFF});
    EXPECT_EQ(Check({longest}), 0x01u);

    std::string tooLong = PathOfLength(260);
    folder.Write(tooLong.substr(folder.Path().string().size() + 1), {0xFF});
    EXPECT_FALSE(Check({tooLong}).has_value());
    EXPECT_EQ(OnlyMessage(), "File name length over 259 characters.");
}

TEST_F(FileNameCheckTest, ParallelModeLooksAtFile1Only) {
    Names names{Make("a.bit"), "/no/such.bit", Make("c.txt"), "", "", "", "", "/x"};
    EXPECT_EQ(Check(names, 1), 0x01u);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(Check(Names{}, 1), 0u);
}

TEST_F(FileNameCheckTest, SerialModeStopsAtTheFirstBadSlot) {
    Names names{Make("a.bit"), "", Make("c.txt"), "/no/such.bit"};
    EXPECT_FALSE(Check(names).has_value());
    EXPECT_EQ(OnlyMessage(), kUnsupported);
}

TEST_F(FileNameCheckTest, JapaneseTexts) {
    EXPECT_FALSE(Check({"/no/such.bit"}, 0, 1).has_value());
    EXPECT_EQ(OnlyMessage(), "ファイル[/no/such.bit]は存在しません");
    host.messages.clear();
    EXPECT_FALSE(Check({PathOfLength(260)}, 0, 1).has_value());  // missing: existence comes first
    host.messages.clear();
    std::string tooLong = PathOfLength(261);
    folder.Write(tooLong.substr(folder.Path().string().size() + 1), {0xFF});
    EXPECT_FALSE(Check({tooLong}, 0, 1).has_value());
    EXPECT_EQ(OnlyMessage(), "ファイル名の文字数が259を超えています");
}

TEST_F(FileNameCheckTest, PlainFormMarksEveryNamedSlotAndChecksNothing) {
    Names names{"", "/no/such.bit", "", "", "weird.txt", "", "", std::string(400, 'z')};
    for (int parallel : {0, 1}) {
        EXPECT_EQ(CheckFileNames(names, parallel, NameCheckForm::Plain, 0, host), 0x92u);
    }
    EXPECT_TRUE(host.messages.empty());
}
