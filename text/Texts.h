// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>

#include "TavrinVersion.h"
#include "text/LocalText.h"

namespace tavrin {

// Every text of the tool that has a Japanese twin, and the English-only texts that more than
// one place shows. Chosen at the moment of showing with LocalText.
namespace texts {

// Menus of the main window.
inline constexpr TextPair kMenuFile{"&File", "ファイル(&F)"};
inline constexpr TextPair kMenuOptions{"&Options", "オプション(&O)"};
inline constexpr TextPair kMenuHelp{"&Help", "ヘルプ(&H)"};
inline constexpr TextPair kMenuOpenSettings{"&Open Settings", "設定ファイルを開く(&O)"};
inline constexpr TextPair kMenuSaveSettings{"&Save Settings", "設定ファイルを保存(&S)"};
inline constexpr TextPair kMenuExit{"E&xit", "終了(&X)"};
inline constexpr TextPair kMenuOperationSettings{"&Operation Settings", "操作設定(&O)"};
inline constexpr TextPair kMenuHardwareSettings{"&Hardware Settings", "ﾊｰﾄﾞｳｪｱ設定(&H)"};
inline constexpr TextPair kMenuAbout{"&About...", "バージョン情報(&A)"};

// Main window captions.
inline constexpr TextPair kCheckInfo{"Check Info", "ﾌｧｲﾙ情報"};
inline constexpr TextPair kInitializeDisk{"Initialize Disk", "ディスク初期化"};
inline constexpr TextPair kParallelModeConfiguration{"Parallel Mode Configuration", "パラレルモード・コンフィグ"};
inline constexpr std::array<TextPair, 8> kFileLabel{{
    {"File#1", "ファイル#1"}, {"File#2", "ファイル#2"}, {"File#3", "ファイル#3"}, {"File#4", "ファイル#4"},
    {"File#5", "ファイル#5"}, {"File#6", "ファイル#6"}, {"File#7", "ファイル#7"}, {"File#8", "ファイル#8"},
}};
inline constexpr TextPair kBrowse{"Browse", "開く"};
inline constexpr TextPair kClearList{"Clear List", "クリア"};
inline constexpr TextPair kProgram{"Program", "書き込み"};
inline constexpr TextPair kVerify{"Verify", "ベリファイ"};
inline constexpr TextPair kDisk{"Disk", "ディスク"};
inline constexpr TextPair kSelectDisk{"Select Disk", "ﾃﾞｨｽｸ選択"};
inline constexpr TextPair kSelectConfigurationFile{"Select Configuration File", "コンフィグファイルの選択"};
inline constexpr TextPair kOperation{"Operation", "操作"};

// Main window tooltips.
inline constexpr TextPair kTipDiskList{"Show current removable disk(s)", "使用可能なリムーバブルディスク"};
inline constexpr TextPair kTipInitializeDisk{"Check this if selected disk is never been used with Tavrin",
                                             "選択中のディスクをTavrinに初めて使う場合チェックします"};
inline constexpr TextPair kTipParallelMode{
    "Check this for Fast Passive-Parallel Mode (Altera)/Slave-Parallel Mode (Xilinx)",
    "パラレルモード・コンフィグレーションの場合チェックします"};
inline constexpr TextPair kTipCheckInfo{"View file information in selected disk",
                                        "選択中のディスクの内容と現在のファイルを比較します"};
inline constexpr std::array<TextPair, 8> kTipFileName{{
    {"Input configuration file name#1", "コンフィグファイル#1を入力"},
    {"Input configuration file name#2", "コンフィグファイル#2を入力"},
    {"Input configuration file name#3", "コンフィグファイル#3を入力"},
    {"Input configuration file name#4", "コンフィグファイル#4を入力"},
    {"Input configuration file name#5", "コンフィグファイル#5を入力"},
    {"Input configuration file name#6", "コンフィグファイル#6を入力"},
    {"Input configuration file name#7", "コンフィグファイル#7を入力"},
    {"Input configuration file name#8", "コンフィグファイル#8を入力"},
}};
inline constexpr std::array<TextPair, 8> kTipBrowse{{
    {"Click to select configuration file#1", "コンフィグファイル#1をファイルから選択"},
    {"Click to select configuration file#2", "コンフィグファイル#2をファイルから選択"},
    {"Click to select configuration file#3", "コンフィグファイル#3をファイルから選択"},
    {"Click to select configuration file#4", "コンフィグファイル#4をファイルから選択"},
    {"Click to select configuration file#5", "コンフィグファイル#5をファイルから選択"},
    {"Click to select configuration file#6", "コンフィグファイル#6をファイルから選択"},
    {"Click to select configuration file#7", "コンフィグファイル#7をファイルから選択"},
    {"Click to select configuration file#8", "コンフィグファイル#8をファイルから選択"},
}};
inline constexpr TextPair kTipClearList{"Clear all file names#1-8", "コンフィグファイル#1-8をクリア"};
inline constexpr TextPair kTipProgram{"Program data to selected disk", "コンフィグデータの書き込みを開始"};
inline constexpr TextPair kTipVerify{"Verify data in selected disk", "コンフィグデータのベリファイを開始"};

// Message boxes.
inline constexpr TextPair kCannotViewInformation{"Cannot view information.", "情報が確認できません"};
inline constexpr TextPair kNotTavrinFormat{"Selected disk is not Tavrin format.",
                                           "選択中のディスクはTavrinフォーマットではありません"};
inline constexpr TextPair kCannotOpenFile{"Cannot open file [%s].", "ファイル[%s]を開けません"};
inline constexpr TextPair kBitFileError{"Bit File [%s] error!!", "Bitファイル[%s]エラー"};
inline constexpr TextPair kTvsFileNotFound{"TVS File not found.", "TVSファイルが見つかりません"};
inline constexpr TextPair kLoadSettingsError{"Load Settings Error!!", "設定ファイルエラー"};
inline constexpr TextPair kSpecifyFile1{"Please specify configuration file#1.",
                                        "コンフィグレーションファイル#1を指定してください"};
inline constexpr TextPair kSpecifyFiles{"Please specify configuration file(s).",
                                        "コンフィグレーションファイルを指定してください"};
inline constexpr TextPair kCannotOpenDisk{"Cannot open disk.", "ディスクを開けません"};
inline constexpr TextPair kCannotReadDisk{"Cannot read disk.", "ディスクが読めません"};
inline constexpr TextPair kInitializationQuestion{"Initialization will format your disk.\n\nDo you want to continue?",
                                                  "ディスクを初期化します。よろしいですか?"};
inline constexpr TextPair kInitializeFirst{"Please initialize disk first.", "ディスク初期化をチェックしてください"};
inline constexpr TextPair kRemainMemory{"Remain memory is not enough.", "メモリ残量が不足しています"};
inline constexpr TextPair kClearLogicalDriveFailed{"Clear logical drive failed!!", "論理ドライブのクリアに失敗しました"};
// The second paragraph of a failed open or unmount when the desktop's disk service could not help.
inline constexpr TextPair kNoDiskService{
    "This user may not open the card directly, and udisks2 (the desktop's disk service) is not there to open it. "
    "Run Tavrin as root (sudo), join the disk group (sudo usermod -aG disk $USER, then log in again), or install "
    "the udev rule for card readers (see README).",
    "このユーザーはカードを直接開けず、udisks2(デスクトップのディスクサービス)もありません。"
    "root で実行する(sudo)、disk グループに入る(sudo usermod -aG disk $USER の後ログインし直す)、"
    "またはカードリーダー用の udev ルールをインストールしてください(README 参照)。"};
inline constexpr TextPair kDiskAccessRefused{
    "The authentication to open the card was refused; Tavrin does not ask again until it is restarted. "
    "To work without it: run Tavrin as root (sudo), join the disk group (sudo usermod -aG disk $USER, then log in "
    "again), or install the udev rule for card readers (see README).",
    "カードを開くための認証が拒否されました。Tavrin は再起動するまで再び尋ねません。"
    "認証なしで使うには、root で実行する(sudo)、disk グループに入る(sudo usermod -aG disk $USER の後ログインし直す)、"
    "またはカードリーダー用の udev ルールをインストールしてください(README 参照)。"};
inline constexpr TextPair kWriteSectorError{"Write sector error at Addr [%08X].", "アドレス[%08X]でライトセクタエラー"};
inline constexpr TextPair kFileDoesNotExist{"File [%s] does not exist.", "ファイル[%s]は存在しません"};
inline constexpr TextPair kUnsupportedFile{"Please select only supported files (*.bit, *.bin, *.rbf).",
                                           "サポートされた拡張子(*.bit, *.bin, *.rbf)のファイルを指定してください"};
inline constexpr TextPair kFileNameTooLong{"File name length over %d characters.", "ファイル名の文字数が%dを超えています"};
inline constexpr TextPair kProgramCompleted{"Program configuration completed.", "書き込み成功"};
inline constexpr TextPair kProgramVerifyCompleted{"Program and verify configuration completed.", "書き込み、ベリファイ成功"};
inline constexpr TextPair kReadSectorError{"Read sector error at Addr [%08X].", "アドレス[%08X]でリードセクタエラー"};
inline constexpr TextPair kVerifyFailed{
    "Verify file information failed!!\n\nPlease check details by press button \"Check Info\".",
    "ベリファイ失敗!! [ファイル情報]で確認してください"};
inline constexpr TextPair kVerifyCompleted{"Verify completed.", "ベリファイ成功"};
inline constexpr TextPair kClearAllQuestion{"Clear all file name?", "全ファイルをクリアしますがよろしいですか？"};

// File Information dialog.
inline constexpr TextPair kCurrentSourceFiles{"Current Source Files", "現在のファイル"};
inline constexpr TextPair kColumnFileName{"File Name", "ファイル名"};
inline constexpr TextPair kColumnSize{"Size", "サイズ"};
inline constexpr TextPair kColumnModifiedDate{"Modified Date", "変更日"};
inline constexpr TextPair kColumnModifiedTime{"Modified Time", "変更時間"};
inline constexpr TextPair kSerialMode{"Serial Mode", "シリアルモード"};
inline constexpr TextPair kParallelMode{"Parallel Mode", "パラレルモード"};

// Hardware Settings dialog.
inline constexpr TextPair kConfigurationSpeed{"Configuration Speed", "ｺﾝﾌｨｸﾞ速度"};
inline constexpr TextPair kMicroSdType{"microSD Type", "microSD ﾀｲﾌﾟ"};
inline constexpr TextPair kHiSpeed{"Hi-speed", "ﾊｲｽﾋﾟｰﾄﾞﾀｲﾌﾟ"};
inline constexpr TextPair kNumberOfRetry{"No. of Retry", "リトライ数"};
inline constexpr TextPair kAdditionalDelay{"Additional Delay Time (x10 msec)", "追加ディレイ (x10 msec)"};
inline constexpr TextPair kTipHiSpeed{"Check this when use Hi-speed microSD", "ハイスピードタイプmicroSDを使用"};
inline constexpr TextPair kTipRetry{"Total number of retry count when configuration failed",
                                    "コンフィグ失敗時のリトライ回数を設定"};
inline constexpr TextPair kTipDelay{"Additional delay time after microSD ready for configuration",
                                    "コンフィグ・ディレイ時間の設定"};

// Operation Settings dialog.
inline constexpr TextPair kAutoVerify{"Auto Verify", "ベリファイ"};
inline constexpr TextPair kEnable{"Enable", "自動"};
inline constexpr TextPair kTipEnglish{"Set menu to English language", "英語表示"};
inline constexpr TextPair kTipJapanese{"Set menu to Japanese language", "日本語表示"};
inline constexpr TextPair kTipAutoVerify{"Check this for automatic verification after programming",
                                         "書き込み後自動的にベリファイ"};

// English in both languages.
inline constexpr const char* kOverrunQuestion = "This will overwrite all next banks. \n\nDo you want to continue?";
inline constexpr const char* kEraseNotTavrin =
    "Selected disk is not Tavrin format.\n\nPlease check the box \"Intialize Disk\" first.";
inline constexpr const char* kEraseAnyway = "Selected disk is not Tavrin format.\n\nErase disk anyway?";
inline constexpr const char* kQuickEraseQuestion =
    "Quick Erase will permanently delete header in selected disk.\n\nDo you want to continue?";
inline constexpr const char* kQuickEraseFailed = "Quick Erase failed.";
inline constexpr const char* kEraseQuestion =
    "Erase will permanently delete all information in selected disk.\n\nThis may take a long time to finish.\n\n"
    "Do you want to continue?";
inline constexpr const char* kEraseFailed = "Erase failed.";
inline constexpr const char* kQuickEraseCompleted = "Quick Erase Completed.";
inline constexpr const char* kEraseCompleted = "Erase Completed.";
inline constexpr const char* kCancel = "Cancel";
inline constexpr const char* kPercentFormat = "%d%%";
inline constexpr const char* kDiskEntry = "Disk%d";
inline constexpr const char* kTavrinDiskEntry = "Disk%d [Tavrin]";
inline constexpr const char* kBankEntry = "%d";
inline constexpr const char* kNewBankEntry = "%d (New)";
inline constexpr const char* kConfigFilesFilter = "Config Files (*.bin,*.bit,*.rbf)";
inline constexpr const char* kTvsFilesFilter = "TVS Files (*.tvs)";
inline constexpr const char* kVersion = kTavrinVersion;

}  // namespace texts

}  // namespace tavrin
