// SPDX-License-Identifier: Apache-2.0
// The main window around the operations: start-up, language, Parallel Mode, the file-name
// fields, exit and the recent entries of the File menu.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "text/Texts.h"
#include "ui/CAboutDlg.h"
#include "ui/TavrinMessageBox.h"
#include "ui/UserPrompts.h"
#include "ui/support/WindowTestKit.h"

using namespace tavrin;

namespace {

QString Text(QObject* root, const char* name) {
    if (auto* button = Child<QAbstractButton>(root, name)) return button->text();
    if (auto* label = Child<QLabel>(root, name)) return label->text();
    if (auto* group = Child<QGroupBox>(root, name)) return group->title();
    if (auto* edit = Child<QLineEdit>(root, name)) return edit->text();
    return "<missing " + QString(name) + ">";
}

QString Tip(QObject* root, const char* name) {
    auto* widget = Child<QWidget>(root, name);
    return widget != nullptr ? widget->toolTip() : QString("<missing>");
}

QLineEdit* Field(CTavrinDlg& window, int slot) {
    return Child<QLineEdit>(&window, qPrintable(QString("fileEdit%1").arg(slot)));
}

void Trigger(CTavrinDlg& window, const char* actionName) {
    auto* action = Child<QAction>(&window, actionName);
    QVERIFY2(action != nullptr, actionName);
    action->trigger();
}

void TypeNames(CTavrinDlg& window, const QStringList& names) {
    for (int slot = 1; slot <= names.size(); ++slot) Field(window, slot)->setText(names[slot - 1]);
}

const QStringList kEnglishFileMenu{"&Open Settings", "&Save Settings", "-", "E&xit"};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartWithoutSettingsFileIsEnglishWithReadDefaults();
    void defaultSettingsFileInJapaneseShowsJapaneseFromTheStart();
    void hiddenControlsExistAndStayHidden();
    void operationSettingsRelabelsOnOkButNotOnCancel();
    void operationSettingsDialogKeepsTheLanguageItOpenedWith();
    void relabellingLeavesTitleRecentEntriesAndHiddenControls();
    void parallelModeDisablesFilesTwoToEightAndKeepsTheirTexts();
    void clearListAsksAndEmptiesEveryName();
    void browseTakesTheChosenPathAndCancelKeepsTheName();
    void enterDoesNothingAndEscapeSavesAndCloses();
    void enterAfterLoadingParallelModeRunsNothing();
    void closeBoxAndExitSaveTheDefaultFile();
    void recentMenuFollowsSavesAndOpens();
    void recentMenuKeepsExitLastWithFourEntries();
    void openSettingsOfAMissingFileAddsNothing();
    void settingsPathsOver259BytesAreRefused();
    void loadErrorFollowsTheLanguageBeforeTheLoad();
    void mapDrivesShowsTheDriveMap();
    void fixedSizeWindowsKeepTheirSizeInBothLanguages();
    void standardButtonsFollowTheLanguage();
    void aFailuresReasonIsTheBoxsDetail();
    void aboutBoxShowsTheVersionInEitherLanguage();
};

void MainWindowTest::firstStartWithoutSettingsFileIsEnglishWithReadDefaults() {
    WindowTestKit kit;
    CTavrinDlg& window = kit.OpenWindow();
    QCOMPARE(window.windowTitle(), QString("Tavrin"));
    QVERIFY(kit.prompts.host.messages.empty());
    QCOMPARE(kit.MenuTexts("fileMenu"), kEnglishFileMenu);
    QCOMPARE(kit.MenuTexts("optionsMenu"), QStringList({"&Operation Settings", "&Hardware Settings"}));
    QCOMPARE(kit.MenuTexts("helpMenu"), QStringList({"&About..."}));
    QCOMPARE(Text(&window, "programButton"), QString("Program"));
    QCOMPARE(Tip(&window, "programButton"), QString("Program data to selected disk"));
    // Missing keys take their read defaults.
    QCOMPARE(kit.hardwareSettings.settings.frequency, 2);
    QCOMPARE(kit.hardwareSettings.settings.retry, 4);
    QCOMPARE(kit.operationSettings.settings.quickErase, 1);
    QCOMPARE(window.defaultSettingsPath, kit.DefaultSettingsPath());
    // No card: the list is empty and the bar spans the whole (unknown) disk.
    QCOMPARE(Child<QComboBox>(&window, "diskList")->count(), 0);
    QCOMPARE(Text(&window, "scaleLabel"), QString("100%"));
}

void MainWindowTest::defaultSettingsFileInJapaneseShowsJapaneseFromTheStart() {
    WindowTestKit kit;
    kit.WriteSettings("TAVRINDEFAULT.tvs",
                      "File Name1=/cards/top.rbf\nFile Name3=/cards/third.bit\nLanguage=1\nParallel Mode=1\n"
                      "Recent TVS1=/a/one.tvs\nRecent TVS2=/a/two.tvs\n");
    CTavrinDlg& window = kit.OpenWindow();
    QVERIFY(kit.prompts.host.messages.empty());
    QCOMPARE(kit.MenuTexts("fileMenu"), QStringList({"設定ファイルを開く(&O)", "設定ファイルを保存(&S)", "-",
                                                     "/a/one.tvs", "/a/two.tvs", "-", "終了(&X)"}));
    QCOMPARE(window.findChild<QMenuBar*>("menuBar")->actions().at(1)->text(), QString("オプション(&O)"));
    QCOMPARE(Text(&window, "programButton"), QString("書き込み"));
    QCOMPARE(Text(&window, "fileLabel8"), QString("ファイル#8"));
    QCOMPARE(Text(&window, "diskGroup"), QString("ディスク"));
    QCOMPARE(Tip(&window, "browseButton2"), QString("コンフィグファイル#2をファイルから選択"));
    QCOMPARE(Tip(&window, "diskList"), QString("使用可能なリムーバブルディスク"));
    QCOMPARE(Field(window, 1)->text(), QString("/cards/top.rbf"));
    QCOMPARE(Field(window, 3)->text(), QString("/cards/third.bit"));
    QVERIFY(Child<QCheckBox>(&window, "parallelModeCheck")->isChecked());
    QVERIFY(!Field(window, 3)->isEnabled());
    QVERIFY(Field(window, 1)->isEnabled());
}

void MainWindowTest::hiddenControlsExistAndStayHidden() {
    WindowTestKit kit;
    CTavrinDlg& window = kit.OpenWindow();
    window.show();
    for (const char* name : {"bankLabel", "bankList", "mapDrivesButton", "eraseButton", "erasePercentLabel"}) {
        auto* widget = Child<QWidget>(&window, name);
        QVERIFY2(widget != nullptr, name);
        QVERIFY2(!widget->isVisible(), name);
        QVERIFY2(widget->toolTip().isEmpty(), name);
    }
    QVERIFY(Child<QWidget>(&window, "programButton")->isVisible());
}

void MainWindowTest::operationSettingsRelabelsOnOkButNotOnCancel() {
    WindowTestKit kit;
    CTavrinDlg& window = kit.OpenWindow();

    OnNextModal<COperationSettings>([](COperationSettings* dialog) {
        Child<QRadioButton>(dialog, "japaneseRadio")->click();
        Child<QPushButton>(dialog, "cancelButton")->click();
    });
    Trigger(window, "operationSettingsAction");
    QCOMPARE(kit.operationSettings.settings.language, 0);
    QCOMPARE(Text(&window, "checkInfoButton"), QString("Check Info"));
    QCOMPARE(kit.MenuTexts("fileMenu"), kEnglishFileMenu);

    OnNextModal<COperationSettings>([](COperationSettings* dialog) {
        Child<QRadioButton>(dialog, "japaneseRadio")->click();
        Child<QPushButton>(dialog, "okButton")->click();
    });
    Trigger(window, "operationSettingsAction");
    QCOMPARE(kit.operationSettings.settings.language, 1);
    QCOMPARE(Text(&window, "checkInfoButton"), QString("ﾌｧｲﾙ情報"));
    QCOMPARE(Text(&window, "selectDiskLabel"), QString("ﾃﾞｨｽｸ選択"));
    QCOMPARE(Text(&window, "operationGroup"), QString("操作"));
    QCOMPARE(kit.MenuTexts("helpMenu"), QStringList({"バージョン情報(&A)"}));
    QCOMPARE(Tip(&window, "clearListButton"), QString("コンフィグファイル#1-8をクリア"));
}

void MainWindowTest::operationSettingsDialogKeepsTheLanguageItOpenedWith() {
    WindowTestKit kit;
    kit.WriteSettings("TAVRINDEFAULT.tvs", "Quick Erase=0\nAuto Verify=1\n");
    CTavrinDlg& window = kit.OpenWindow();
    QString shown;
    OnNextModal<COperationSettings>([&shown](COperationSettings* dialog) {
        Child<QRadioButton>(dialog, "japaneseRadio")->click();
        shown = Text(dialog, "autoVerifyGroup") + "|" + Text(dialog, "autoVerifyCheck");
        QVERIFY(!Child<QWidget>(dialog, "quickEraseCheck")->isVisible());
        Child<QPushButton>(dialog, "okButton")->click();
    });
    Trigger(window, "operationSettingsAction");
    QCOMPARE(shown, QString("Auto Verify|Enable"));
    // The hidden Quick Erase goes through the dialog unchanged.
    QCOMPARE(kit.operationSettings.settings.quickErase, 0);
    QCOMPARE(kit.operationSettings.settings.autoVerify, 1);

    OnNextModal<COperationSettings>([&shown](COperationSettings* dialog) {
        shown = Text(dialog, "autoVerifyGroup") + "|" + Text(dialog, "autoVerifyCheck") + "|" +
                Text(dialog, "cancelButton") + "|" + Tip(dialog, "englishRadio");
        Child<QPushButton>(dialog, "cancelButton")->click();
    });
    Trigger(window, "operationSettingsAction");
    QCOMPARE(shown, QString("ベリファイ|自動|Cancel|英語表示"));
}

void MainWindowTest::relabellingLeavesTitleRecentEntriesAndHiddenControls() {
    WindowTestKit kit;
    kit.WriteSettings("TAVRINDEFAULT.tvs", "Recent TVS1=/x/Save & Go.tvs\n");
    CTavrinDlg& window = kit.OpenWindow();
    kit.operationSettings.settings.language = 1;
    window.ApplyLanguage();
    QCOMPARE(window.windowTitle(), QString("Tavrin"));
    QCOMPARE(kit.MenuTexts("fileMenu").at(3), QString("/x/Save && Go.tvs"));
    QCOMPARE(Text(&window, "eraseButton"), QString("Erase"));
    QCOMPARE(Text(&window, "mapDrivesButton"), QString("Map Drives"));
    QCOMPARE(Text(&window, "bankLabel"), QString("Bank#"));
    QCOMPARE(Text(&window, "programPercentLabel"), QString("0%"));
}

void MainWindowTest::parallelModeDisablesFilesTwoToEightAndKeepsTheirTexts() {
    WindowTestKit kit;
    CTavrinDlg& window = kit.OpenWindow();
    TypeNames(window, {"/f/1.rbf", "/f/2.rbf", "/f/3.rbf", "", "", "", "", "/f/8.rbf"});
    auto* parallel = Child<QCheckBox>(&window, "parallelModeCheck");

    parallel->click();
    QCOMPARE(window.Context().state.parallelMode, 1);
    QVERIFY(Field(window, 1)->isEnabled());
    QVERIFY(Child<QWidget>(&window, "browseButton1")->isEnabled());
    for (int slot = 2; slot <= 8; ++slot) {
        QVERIFY(!Field(window, slot)->isEnabled());
        QVERIFY(!Child<QWidget>(&window, qPrintable(QString("browseButton%1").arg(slot)))->isEnabled());
        QVERIFY(Child<QWidget>(&window, qPrintable(QString("fileLabel%1").arg(slot)))->isEnabled());
    }
    QCOMPARE(Field(window, 2)->text(), QString("/f/2.rbf"));

    // Disabled names are still saved.
    Trigger(window, "exitAction");
    std::string saved = kit.ReadFile(kit.DefaultSettingsPath());
    QVERIFY(saved.find("File Name8=/f/8.rbf") != std::string::npos);
    QVERIFY(saved.find("Parallel Mode=1") != std::string::npos);

    parallel->click();
    for (int slot = 2; slot <= 8; ++slot) QVERIFY(Field(window, slot)->isEnabled());
    QCOMPARE(Field(window, 8)->text(), QString("/f/8.rbf"));
}

void MainWindowTest::clearListAsksAndEmptiesEveryName() {
    WindowTestKit kit;
    CTavrinDlg& window = kit.OpenWindow();
    TypeNames(window, {"/f/1.rbf", "/f/2.rbf"});
    Child<QCheckBox>(&window, "parallelModeCheck")->click();
    auto* clear = Child<QPushButton>(&window, "clearListButton");

    kit.prompts.host.answers = {MsgAnswer::Cancel};
    clear->click();
    QCOMPARE(kit.prompts.host.messages.size(), size_t(1));
    QCOMPARE(kit.prompts.host.LastMessage(), std::string("Clear all file name?"));
    QVERIFY(kit.prompts.host.messages.back().buttons == MsgButtons::OkCancel);
    QVERIFY(kit.prompts.host.messages.back().icon == MsgIcon::Warning);
    QCOMPARE(Field(window, 2)->text(), QString("/f/2.rbf"));

    kit.prompts.host.answers = {MsgAnswer::Ok};
    clear->click();
    for (int slot = 1; slot <= 8; ++slot) QVERIFY(Field(window, slot)->text().isEmpty());
    QCOMPARE(window.Context().state.parallelMode, 1);
}

void MainWindowTest::browseTakesTheChosenPathAndCancelKeepsTheName() {
    WindowTestKit kit;
    CTavrinDlg& window = kit.OpenWindow();
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const QString longName = "/very/long/folder/name/that/does/not/fit/into/the/field/at/all/design_top.rbf";
    Field(window, 3)->setText(longName);
    Field(window, 3)->setCursorPosition(0);
    Field(window, 1)->setFocus();

    Child<QPushButton>(&window, "browseButton3")->click();
    QCOMPARE(kit.prompts.fileDialogs.size(), size_t(1));
    QVERIFY(kit.prompts.fileDialogs[0] == FileDialogKind::ConfigFile);
    QCOMPARE(Field(window, 3)->text(), longName);
    QCOMPARE(Field(window, 3)->cursorPosition(), longName.size());
    QCOMPARE(QApplication::focusWidget(), Field(window, 3));

    kit.prompts.files = {"/chosen/Design.BIT"};
    Child<QPushButton>(&window, "browseButton5")->click();
    QCOMPARE(Field(window, 5)->text(), QString("/chosen/Design.BIT"));
    QCOMPARE(window.Context().state.fileName[4], std::string("/chosen/Design.BIT"));
    QCOMPARE(QApplication::focusWidget(), Field(window, 5));
}

void MainWindowTest::enterDoesNothingAndEscapeSavesAndCloses() {
    WindowTestKit kit;
    CTavrinDlg& window = kit.OpenWindow();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Field(window, 1)->setText("/f/typed.rbf");
    QTest::keyClick(Field(window, 1), Qt::Key_Return);
    QTest::keyClick(Field(window, 1), Qt::Key_Enter);
    QVERIFY(window.isVisible());
    QVERIFY(kit.prompts.host.messages.empty());
    QVERIFY(!QFile::exists(QString::fromStdString(kit.DefaultSettingsPath())));
    // On a push button Enter presses it.
    auto* clear = Child<QPushButton>(&window, "clearListButton");
    clear->setFocus();
    QTest::keyClick(clear, Qt::Key_Return);
    QCOMPARE(kit.prompts.host.MessageTexts(), std::vector<std::string>({"Clear all file name?"}));
    QCOMPARE(Field(window, 1)->text(), QString("/f/typed.rbf"));

    QTest::keyClick(Field(window, 1), Qt::Key_Escape);
    QVERIFY(!window.isVisible());
    QVERIFY(kit.ReadFile(kit.DefaultSettingsPath()).find("File Name1=/f/typed.rbf") != std::string::npos);
}

void MainWindowTest::enterAfterLoadingParallelModeRunsNothing() {
    WindowTestKit kit;
    const std::string settings = "File Name1=/f/top.rbf\nFile Name8=/f/eight.rbf\nParallel Mode=1\n";
    kit.WriteSettings("TAVRINDEFAULT.tvs", settings);
    std::string other = kit.WriteSettings("parallel.tvs", settings);
    CTavrinDlg& window = kit.OpenWindow();
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto enterLeavesTheFocusInFileOne = [&] {
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Return);
        QVERIFY(kit.prompts.host.messages.empty());
        QCOMPARE(QApplication::focusWidget(), Field(window, 1));
        QCOMPARE(Field(window, 1)->cursorPosition(), Field(window, 1)->text().size());
    };
    enterLeavesTheFocusInFileOne();
    Child<QCheckBox>(&window, "parallelModeCheck")->click();
    Field(window, 8)->setFocus();
    kit.prompts.files = {other};
    Trigger(window, "openSettingsAction");
    enterLeavesTheFocusInFileOne();
}

void MainWindowTest::closeBoxAndExitSaveTheDefaultFile() {
    {
        WindowTestKit kit;
        CTavrinDlg& window = kit.OpenWindow();
        window.show();
        Field(window, 2)->setText("/f/closed.rbf");
        QVERIFY(window.close());
        QVERIFY(kit.ReadFile(kit.DefaultSettingsPath()).find("File Name2=/f/closed.rbf") != std::string::npos);
    }
    {
        WindowTestKit kit;
        kit.WriteSettings("TAVRINDEFAULT.tvs", "Recent TVS1=/keep/me.tvs\nDelay=9\n");
        CTavrinDlg& window = kit.OpenWindow();
        window.show();
        Trigger(window, "exitAction");
        QVERIFY(!window.isVisible());
        std::string saved = kit.ReadFile(kit.DefaultSettingsPath());
        QVERIFY(saved.find("Delay=9") != std::string::npos);
        // Exit leaves the recent keys as they were.
        QVERIFY(saved.find("Recent TVS1=/keep/me.tvs") != std::string::npos);
    }
}

void MainWindowTest::recentMenuFollowsSavesAndOpens() {
    WindowTestKit kit;
    CTavrinDlg& window = kit.OpenWindow();
    const std::string folder = kit.folder.Path().string();
    const std::string a = folder + "/a.tvs", b = folder + "/b.tvs";
    QCOMPARE(kit.MenuTexts("fileMenu"), kEnglishFileMenu);

    Field(window, 1)->setText("/f/saved.rbf");
    kit.prompts.files = {a, b};
    Trigger(window, "saveSettingsAction");
    Trigger(window, "saveSettingsAction");
    QVERIFY(kit.prompts.fileDialogs[0] == FileDialogKind::SaveSettings);
    QVERIFY(kit.ReadFile(a).find("File Name1=/f/saved.rbf") != std::string::npos);
    QCOMPARE(kit.MenuTexts("fileMenu"), QStringList({"&Open Settings", "&Save Settings", "-", QString::fromStdString(b),
                                                     QString::fromStdString(a), "-", "E&xit"}));

    // Opening the second entry loads it and moves it to the top.
    Field(window, 1)->clear();
    Child<QAction>(&window, "recentFileAction2")->trigger();
    QCOMPARE(Field(window, 1)->text(), QString("/f/saved.rbf"));
    QCOMPARE(kit.MenuTexts("fileMenu").mid(3, 2), QStringList({QString::fromStdString(a), QString::fromStdString(b)}));

    // Through Open Settings too.
    kit.prompts.files = {b};
    Trigger(window, "openSettingsAction");
    QVERIFY(kit.prompts.fileDialogs.back() == FileDialogKind::OpenSettings);
    QCOMPARE(kit.MenuTexts("fileMenu").mid(3, 2), QStringList({QString::fromStdString(b), QString::fromStdString(a)}));
    QVERIFY(kit.prompts.host.messages.empty());

    // A recent file that has gone away is reported and stays listed.
    QFile::remove(QString::fromStdString(b));
    Child<QAction>(&window, "recentFileAction1")->trigger();
    QCOMPARE(kit.prompts.host.LastMessage(), std::string("TVS File not found."));
    QVERIFY(kit.prompts.host.messages.back().icon == MsgIcon::Error);
    QCOMPARE(kit.MenuTexts("fileMenu").size(), 7);
}

void MainWindowTest::recentMenuKeepsExitLastWithFourEntries() {
    WindowTestKit kit;
    CTavrinDlg& window = kit.OpenWindow();
    const std::string folder = kit.folder.Path().string();
    for (const char* name : {"/1.tvs", "/2.tvs", "/3.tvs", "/4.tvs", "/5.tvs"}) {
        kit.prompts.files = {folder + name};
        Trigger(window, "saveSettingsAction");
    }
    QStringList menu = kit.MenuTexts("fileMenu");
    QCOMPARE(menu.size(), 9);
    QCOMPARE(menu.at(3), QString::fromStdString(folder + "/5.tvs"));
    QCOMPARE(menu.at(6), QString::fromStdString(folder + "/2.tvs"));
    QCOMPARE(menu.last(), QString("E&xit"));

    kit.operationSettings.settings.language = 1;
    window.ApplyLanguage();
    menu = kit.MenuTexts("fileMenu");
    QCOMPARE(menu.last(), QString("終了(&X)"));
    QCOMPARE(menu.at(6), QString::fromStdString(folder + "/2.tvs"));
    // The relabelled last item is still the exit command.
    QCOMPARE(Child<QAction>(&window, "exitAction")->text(), QString("終了(&X)"));
}

void MainWindowTest::openSettingsOfAMissingFileAddsNothing() {
    WindowTestKit kit;
    CTavrinDlg& window = kit.OpenWindow();
    Field(window, 1)->setText("/f/kept.rbf");
    kit.prompts.files = {kit.folder.Path().string() + "/missing.tvs"};
    Trigger(window, "openSettingsAction");
    QCOMPARE(kit.prompts.host.MessageTexts(), std::vector<std::string>({"TVS File not found."}));
    QCOMPARE(kit.MenuTexts("fileMenu"), kEnglishFileMenu);
    QCOMPARE(Field(window, 1)->text(), QString("/f/kept.rbf"));

    // A cancelled dialog does nothing at all.
    Trigger(window, "openSettingsAction");
    QCOMPARE(kit.prompts.host.messages.size(), size_t(1));
}

void MainWindowTest::settingsPathsOver259BytesAreRefused() {
    WindowTestKit kit;
    CTavrinDlg& window = kit.OpenWindow();
    const std::string folder = kit.folder.Path().string() + "/" + std::string(250, 'd');
    QVERIFY(QDir().mkpath(QString::fromStdString(folder)));
    const std::string tooLong = folder + "/settings.tvs";
    QVERIFY(tooLong.size() > 259);
    kit.WriteSettings(std::string(250, 'd') + "/settings.tvs", "File Name1=/f/far.rbf\n");
    kit.prompts.files = {tooLong, tooLong};
    Trigger(window, "openSettingsAction");
    Trigger(window, "saveSettingsAction");
    QCOMPARE(kit.prompts.host.MessageTexts(),
             std::vector<std::string>({"Load Settings Error!!", "File name length over 259 characters."}));
    QVERIFY(Field(window, 1)->text().isEmpty());
    QCOMPARE(kit.ReadFile(tooLong), std::string("[Settings]\nFile Name1=/f/far.rbf\n"));
    QCOMPARE(kit.MenuTexts("fileMenu"), kEnglishFileMenu);
}

void MainWindowTest::loadErrorFollowsTheLanguageBeforeTheLoad() {
    WindowTestKit kit;
    CTavrinDlg& window = kit.OpenWindow();
    std::string path = kit.WriteSettings("japanese.tvs", "Language=1\nRetry=16\nFile Name2=/f/two.rbf\n");
    kit.prompts.files = {path};
    QString underTheMessage;
    kit.prompts.whileShowing = [&] { underTheMessage = Field(window, 2)->text(); };
    Trigger(window, "openSettingsAction");
    QCOMPARE(underTheMessage, QString("/f/two.rbf"));
    QCOMPARE(kit.prompts.host.MessageTexts(), std::vector<std::string>({"Load Settings Error!!"}));
    QCOMPARE(Text(&window, "verifyButton"), QString("ベリファイ"));
    QCOMPARE(Field(window, 2)->text(), QString("/f/two.rbf"));
    QCOMPARE(window.loadLanguage, 0);
    QCOMPARE(kit.hardwareSettings.settings.retry, 4);
}

void MainWindowTest::mapDrivesShowsTheDriveMap() {
    WindowTestKit kit;
    kit.AddCard("sdb", 8192);
    kit.drives.AddPartition("sdb", 1, 2048, 6144);
    kit.drives.Mount("sdb1", "/media/card");
    kit.operationSettings.settings.language = 1;
    CTavrinDlg& window = kit.OpenWindow();
    Child<QPushButton>(&window, "mapDrivesButton")->click();
    QCOMPARE(kit.prompts.host.messages.size(), size_t(1));
    QVERIFY(kit.prompts.host.messages[0].icon == MsgIcon::Warning);
    QVERIFY(kit.prompts.host.messages[0].buttons == MsgButtons::Ok);
    QVERIFY2(kit.prompts.host.LastMessage().find("sdb1") != std::string::npos, kit.prompts.host.LastMessage().c_str());
}

void MainWindowTest::fixedSizeWindowsKeepTheirSizeInBothLanguages() {
    WindowTestKit kit;
    CTavrinDlg& window = kit.OpenWindow();
    window.show();
    const QSize english = window.size();
    QSize dialog[2];
    for (int language : {0, 1}) {
        kit.operationSettings.settings.language = language;
        window.ApplyLanguage();
        QApplication::processEvents();
        QCOMPARE(window.size(), english);
        OnNextModal<CHardwareSettings>([&dialog, language](CHardwareSettings* shown) { dialog[language] = shown->size(); });
        window.OnHardwareSettings();
    }
    QCOMPARE(dialog[1], dialog[0]);
}

void MainWindowTest::standardButtonsFollowTheLanguage() {
    WindowTestKit kit;
    kit.WriteSettings("TAVRINDEFAULT.tvs", "Language=1\n");
    CTavrinDlg& window = kit.OpenWindow();
    auto yesButton = [&window] {
        QString text;
        OnNextModal<QMessageBox>([&text](QMessageBox* box) { text = box->button(QMessageBox::Yes)->text(); });
        ShowTavrinMessage(&window, "?", MsgButtons::YesNo, MsgIcon::Question);
        return text;
    };
    QCOMPARE(yesButton(), QString("はい(&Y)"));
    kit.operationSettings.settings.language = 0;
    window.ApplyLanguage();
    QCOMPARE(yesButton(), QString("&Yes"));
}

void MainWindowTest::aFailuresReasonIsTheBoxsDetail() {
    QString detail;
    OnNextModal<QMessageBox>([&detail](QMessageBox* box) { detail = box->detailedText(); });
    QtPrompts().ShowFailure("Cannot read disk.", MsgIcon::Error, "Input/output error");
    QCOMPARE(detail, QString("Input/output error"));
}

void MainWindowTest::aboutBoxShowsTheVersionInEitherLanguage() {
    WindowTestKit kit;
    kit.WriteSettings("TAVRINDEFAULT.tvs", "Language=1\n");
    CTavrinDlg& window = kit.OpenWindow();
    QString shown;
    OnNextModal<CAboutDlg>([&shown](CAboutDlg* about) {
        shown = Text(about, "versionCaption") + " " + Text(about, "versionLabel") + " " + about->windowTitle();
        Child<QPushButton>(about, "okButton")->click();
    });
    Trigger(window, "aboutAction");
    QCOMPARE(shown, QString("Tavrin Version 1.03 About Tavrin"));
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
