// SPDX-License-Identifier: Apache-2.0
#include "ui/CTavrinDlg.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "ops/FileNameCheck.h"
#include "settings/SettingsFile.h"
#include "text/Texts.h"
#include "ui/Artwork.h"
#include "ui/CAboutDlg.h"
#include "ui/CHardwareSettings.h"
#include "ui/COperationSettings.h"
#include "ui/DiskComboBox.h"
#include "ui/ModalDialog.h"
#include "ui/UserPrompts.h"

namespace tavrin {

CTavrinDlg::CTavrinDlg(COperationSettings& operationSettings, CHardwareSettings& hardwareSettings,
                       CBankInfo& bankInfo, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent),
      operationSettings_(operationSettings),
      hardwareSettings_(hardwareSettings),
      bankInfo_(bankInfo),
      prompts_(prompts) {
    setObjectName("tavrinDialog");
    setWindowTitle("Tavrin");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    BuildControls();
    // One size for both languages.
    FixSizeOverTexts(*this, 2, [this](int language) { Relabel(language); });
    Relabel(0);
    // No button is the default one, so none is drawn as such; Enter presses the focused one.
    for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);
    ConnectHandlers();
    OnInitDialog();
}

void CTavrinDlg::OnInitDialog() {
    PutStateBack();
    setWindowIcon(ApplicationIcon());
    startupDirectory = QDir::currentPath().toStdString();
    defaultSettingsPath = DefaultSettingsPath(startupDirectory);
    OperationHost::RefreshDiskList(context_.card, context_.makeDevice);
    RescanBanks(context_.card, context_.makeDevice);
    ShowCardSelection(context_.card);
    LoadSettings(defaultSettingsPath);
    RebuildRecentMenu();
    PutStateBack();
}

void CTavrinDlg::ConnectHandlers() {
    connect(diskList_, &DiskComboBox::aboutToShowPopup, this, &CTavrinDlg::OnDiskListDropDown);
    // activated: only the user's choice, not the list being refilled.
    connect(diskList_, &QComboBox::activated, this, &CTavrinDlg::OnDiskSelChange);
    connect(bankList_, &QComboBox::activated, this, &CTavrinDlg::OnBankSelChange);
    connect(checkInfo_, &QPushButton::clicked, this, &CTavrinDlg::OnCheckInfo);
    connect(parallelMode_, &QCheckBox::clicked, this, &CTavrinDlg::OnParallelMode);
    connect(clearList_, &QPushButton::clicked, this, &CTavrinDlg::OnClearList);
    connect(mapDrives_, &QPushButton::clicked, this, &CTavrinDlg::OnMapDrives);
    for (int slot = 0; slot < 8; ++slot) {
        connect(browse_[slot], &QPushButton::clicked, this, [this, slot] { OnBrowse(slot + 1); });
    }
    connect(program_, &QPushButton::clicked, this, &CTavrinDlg::OnProgram);
    connect(verify_, &QPushButton::clicked, this, &CTavrinDlg::OnVerify);
    connect(erase_, &QPushButton::clicked, this, &CTavrinDlg::OnErase);
}

void CTavrinDlg::TakeControls(WindowState& state) {
    for (int slot = 0; slot < 8; ++slot) state.fileName[slot] = fileEdit_[slot]->text().toStdString();
    state.parallelMode = parallelMode_->isChecked() ? 1 : 0;
}

void CTavrinDlg::PutStateBack(const WindowState& state) {
    for (int slot = 0; slot < 8; ++slot) {
        QString text = QString::fromStdString(state.fileName[slot]);
        // Rewriting an unchanged field would move its caret.
        if (fileEdit_[slot]->text() != text) fileEdit_[slot]->setText(text);
    }
    parallelMode_->setChecked(state.parallelMode != 0);
}

void CTavrinDlg::TakeControls() {
    TakeControls(context_.state);
}

void CTavrinDlg::PutStateBack() {
    PutStateBack(context_.state);
}

void CTavrinDlg::ApplyParallelMode() {
    const bool serial = context_.state.parallelMode == 0;
    // Disabling the control that holds the focus would pass the focus along the tab chain to
    // Program, where the next Enter would write the card. File#1, the one field left, takes it.
    QWidget* focused = focusWidget();
    for (int slot = 1; slot < 8 && !serial; ++slot) {
        if (focused == fileEdit_[slot] || focused == browse_[slot]) {
            fileEdit_[0]->setFocus(Qt::OtherFocusReason);
            SetCaretToEnd(0);
        }
    }
    for (int slot = 1; slot < 8; ++slot) {
        fileEdit_[slot]->setEnabled(serial);
        browse_[slot]->setEnabled(serial);
    }
}

void CTavrinDlg::SetCaretToEnd(int slot) {
    fileEdit_[slot]->setCursorPosition(fileEdit_[slot]->text().size());
}

void CTavrinDlg::OnBrowse(int slot) {
    if (slot < 1 || slot > 8) return;
    TakeControls();
    std::string chosen = prompts_.ChooseFile(this, FileDialogKind::ConfigFile);
    if (!chosen.empty()) context_.state.fileName[slot - 1] = chosen;
    PutStateBack();
    SetCaretToEnd(slot - 1);
    fileEdit_[slot - 1]->setFocus();
    PutStateBack();
}

void CTavrinDlg::OnParallelMode() {
    TakeControls();
    ApplyParallelMode();
    PutStateBack();
}

void CTavrinDlg::OnClearList() {
    const int language = operationSettings_.settings.language;
    if (ShowMessage(LocalText(language, texts::kClearAllQuestion), MsgButtons::OkCancel, MsgIcon::Warning) !=
        MsgAnswer::Ok) {
        return;
    }
    TakeControls();
    for (auto& name : context_.state.fileName) name.clear();
    PutStateBack();
}

void CTavrinDlg::OnOperationSettings() {
    if (!operationSettings_.DoModal(this)) return;
    TakeControls();
    ApplyLanguage();
    BuildToolTips();
    PutStateBack();
}

void CTavrinDlg::OnHardwareSettings() {
    TakeControls();
    const int language = operationSettings_.settings.language;
    const WindowState& state = context_.state;
    unsigned mask = CheckFileNames(state.fileName, state.parallelMode, NameCheckForm::Plain, language, *this)
                        .value_or(0);
    hardwareSettings_.DoModal(this, language, mask, state.parallelMode);
    PutStateBack();
}

void CTavrinDlg::OnAbout() {
    CAboutDlg about(this);
    about.DoModal();
}

void CTavrinDlg::OnExit() {
    if (closing_ || running_) return;
    TakeControls();
    if (!defaultSettingsPath.empty()) SaveSettings(defaultSettingsPath);
    PutStateBack();
    closing_ = true;
    QDialog::done(QDialog::Rejected);
}

void CTavrinDlg::reject() {
    OnExit();
}

void CTavrinDlg::keyPressEvent(QKeyEvent* event) {
    // The window has no default button: Enter presses a focused push button and does nothing
    // anywhere else.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        auto* button = qobject_cast<QPushButton*>(focusWidget());
        if (button != nullptr && button->isEnabled()) button->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CTavrinDlg::closeEvent(QCloseEvent* event) {
    if (!closing_) OnExit();
    if (closing_) {
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace tavrin
