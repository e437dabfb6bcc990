// SPDX-License-Identifier: Apache-2.0
// The main window's settings files, recent entries and language.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "settings/SettingsFile.h"
#include "text/Texts.h"
#include "ui/CHardwareSettings.h"
#include "ui/COperationSettings.h"
#include "ui/CTavrinDlg.h"
#include "ui/DiskComboBox.h"
#include "ui/QtTexts.h"
#include "ui/UserPrompts.h"

namespace tavrin {

namespace {

constexpr int kFixedFileItems = 4;     // Open, Save, separator, Exit
constexpr int kFirstRecentPosition = 3;

// A menu text shows '&' as an access key; a path must show as it is.
QString MenuTextForPath(const std::string& path) {
    return QString::fromStdString(path).replace('&', "&&");
}

}  // namespace

void CTavrinDlg::LoadSettings(const std::string& path) {
    loadLanguage = operationSettings_.settings.language;
    const bool good = ReadSettings(path, context_.state, operationSettings_.settings, hardwareSettings_.settings);
    for (int slot = 0; slot < 8; ++slot) {
        fileEdit_[slot]->setText(QString::fromStdString(context_.state.fileName[slot]));
        SetCaretToEnd(slot);
        fileEdit_[slot]->setFocus();
    }
    // Shown over the loaded names, before the window follows the loaded mode and language.
    if (!good) ShowLoadSettingsError(*this, loadLanguage);
    ApplyParallelMode();
    ApplyLanguage();
    BuildToolTips();
}

void CTavrinDlg::SaveSettings(const std::string& path) {
    tavrin::SaveSettings(path, context_.state, operationSettings_.settings, hardwareSettings_.settings);
}

void CTavrinDlg::OnOpenSettings() {
    std::string path = prompts_.ChooseFile(this, FileDialogKind::OpenSettings);
    if (path.empty()) return;
    TakeControls();
    if (!SettingsPathFits(path)) {
        // It could be neither listed nor opened again from the list.
        ShowLoadSettingsError(*this, operationSettings_.settings.language);
    } else if (!SettingsFileReadable(path)) {
        ShowMessage(LocalText(operationSettings_.settings.language, texts::kTvsFileNotFound), MsgButtons::Ok,
                    MsgIcon::Error);
    } else {
        LoadSettings(path);
        UpdateRecentList(path);
        RebuildRecentMenu();
    }
    PutStateBack();
}

void CTavrinDlg::OnSaveSettings() {
    std::string path = prompts_.ChooseFile(this, FileDialogKind::SaveSettings);
    if (path.empty()) return;
    if (!SettingsPathFits(path)) {
        const int language = operationSettings_.settings.language;
        ShowMessage(FormatText(LocalText(language, texts::kFileNameTooLong), kSettingsPathLimit), MsgButtons::Ok,
                    MsgIcon::Warning);
        return;
    }
    TakeControls();
    SaveSettings(path);
    UpdateRecentList(path);
    RebuildRecentMenu();
    PutStateBack();
}

void CTavrinDlg::OnRecentFile(int entry) {
    if (entry < 1 || entry > 4) return;
    const std::string path = recentFiles[entry - 1];
    if (!SettingsFileReadable(path)) {
        ShowMessage(LocalText(operationSettings_.settings.language, texts::kTvsFileNotFound), MsgButtons::Ok,
                    MsgIcon::Error);
        return;
    }
    TakeControls();
    LoadSettings(path);
    UpdateRecentList(path);
    RebuildRecentMenu();
    PutStateBack();
}

void CTavrinDlg::UpdateRecentList(const std::string& path) {
    tavrin::UpdateRecentList(defaultSettingsPath, recentFiles, path);
}

void CTavrinDlg::RebuildRecentMenu() {
    recentFiles = ReadRecentList(defaultSettingsPath);
    while (fileMenu_->actions().size() > kFixedFileItems) {
        QAction* old = fileMenu_->actions().at(kFirstRecentPosition);
        fileMenu_->removeAction(old);
        // The entry may be the one whose command is running right now.
        old->deleteLater();
    }
    std::vector<std::string> entries = RecentMenuEntries(recentFiles);
    if (entries.empty()) return;
    QAction* exit = fileMenu_->actions().at(kFirstRecentPosition);
    for (size_t i = 0; i < entries.size(); ++i) {
        auto* action = new QAction(MenuTextForPath(entries[i]), fileMenu_);
        const int entry = static_cast<int>(i) + 1;
        action->setObjectName(QString("recentFileAction%1").arg(entry));
        connect(action, &QAction::triggered, this, [this, entry] { OnRecentFile(entry); });
        fileMenu_->insertAction(exit, action);
    }
    fileMenu_->insertSeparator(exit);
}

void CTavrinDlg::ApplyLanguage() {
    Relabel(operationSettings_.settings.language);
    UseQtTextsFor(operationSettings_.settings.language);
}

void CTavrinDlg::Relabel(int language) {
    auto text = [language](const TextPair& pair) { return QString(LocalText(language, pair)); };

    const QList<QAction*> menus = menuBar_->actions();
    menus.at(0)->setText(text(texts::kMenuFile));
    menus.at(1)->setText(text(texts::kMenuOptions));
    menus.at(2)->setText(text(texts::kMenuHelp));
    const QList<QAction*> file = fileMenu_->actions();
    file.at(0)->setText(text(texts::kMenuOpenSettings));
    file.at(1)->setText(text(texts::kMenuSaveSettings));
    file.last()->setText(text(texts::kMenuExit));
    optionsMenu_->actions().at(0)->setText(text(texts::kMenuOperationSettings));
    optionsMenu_->actions().at(1)->setText(text(texts::kMenuHardwareSettings));
    helpMenu_->actions().at(0)->setText(text(texts::kMenuAbout));

    checkInfo_->setText(text(texts::kCheckInfo));
    initializeDisk_->setText(text(texts::kInitializeDisk));
    parallelMode_->setText(text(texts::kParallelModeConfiguration));
    for (int slot = 0; slot < 8; ++slot) {
        fileLabel_[slot]->setText(text(texts::kFileLabel[slot]));
        browse_[slot]->setText(text(texts::kBrowse));
    }
    clearList_->setText(text(texts::kClearList));
    program_->setText(text(texts::kProgram));
    verify_->setText(text(texts::kVerify));
    diskGroup_->setTitle(text(texts::kDisk));
    selectDiskLabel_->setText(text(texts::kSelectDisk));
    fileGroup_->setTitle(text(texts::kSelectConfigurationFile));
    operationGroup_->setTitle(text(texts::kOperation));
}

void CTavrinDlg::BuildToolTips() {
    const int language = operationSettings_.settings.language;
    auto tip = [language](QWidget* widget, const TextPair& pair) { widget->setToolTip(LocalText(language, pair)); };
    tip(diskList_, texts::kTipDiskList);
    tip(initializeDisk_, texts::kTipInitializeDisk);
    tip(parallelMode_, texts::kTipParallelMode);
    tip(checkInfo_, texts::kTipCheckInfo);
    for (int slot = 0; slot < 8; ++slot) {
        tip(fileEdit_[slot], texts::kTipFileName[slot]);
        tip(browse_[slot], texts::kTipBrowse[slot]);
    }
    tip(clearList_, texts::kTipClearList);
    tip(program_, texts::kTipProgram);
    tip(verify_, texts::kTipVerify);
}

}  // namespace tavrin
