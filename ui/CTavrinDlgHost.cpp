// SPDX-License-Identifier: Apache-2.0
// The main window as the host of the card operations, and the disk area's handlers.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "disk/Drives.h"
#include "ui/BankBar.h"
#include "ui/CBankInfo.h"
#include "ui/CHardwareSettings.h"
#include "ui/COperationSettings.h"
#include "ui/CTavrinDlg.h"
#include "ui/DiskComboBox.h"
#include "ui/UserPrompts.h"

namespace tavrin {

namespace {

void FillComboBox(QComboBox& box, const ListModel& model) {
    QSignalBlocker block(box);
    box.clear();
    for (const ListEntry& entry : model.entries) box.addItem(QString::fromStdString(entry.text), entry.itemData);
    box.setCurrentIndex(model.selected < box.count() ? model.selected : -1);
}

}  // namespace

MsgAnswer CTavrinDlg::ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon) {
    return prompts_.ShowMessage(text, buttons, icon);
}

void CTavrinDlg::ShowFailure(const std::string& text, MsgIcon icon, const std::string& detail) {
    prompts_.ShowFailure(text, icon, detail);
}

QPushButton* CTavrinDlg::ButtonFor(OpButton button) const {
    switch (button) {
    case OpButton::Verify: return verify_;
    case OpButton::Erase: return erase_;
    case OpButton::Program: break;
    }
    return program_;
}

QLabel* CTavrinDlg::PercentLabelFor(OpButton button) const {
    switch (button) {
    case OpButton::Verify: return verifyPercent_;
    case OpButton::Erase: return erasePercent_;
    case OpButton::Program: break;
    }
    return programPercent_;
}

void CTavrinDlg::SetPercentText(OpButton button, const std::string& text) {
    PercentLabelFor(button)->setText(QString::fromStdString(text));
}

void CTavrinDlg::SetProgress(int percent) {
    progress_->setValue(percent);
}

void CTavrinDlg::EnableButton(OpButton button, bool enabled) {
    QPushButton* target = ButtonFor(button);
    if (!enabled && focusWidget() == target) {
        // Disabled with the focus, the button would pass it on to the next button, which the
        // user never chose; it gets the focus back when it is enabled again.
        target->clearFocus();
        refocus_ = target;
    }
    target->setEnabled(enabled);
    if (enabled && refocus_ == target) {
        refocus_ = nullptr;
        target->setFocus(Qt::OtherFocusReason);
    }
}

void CTavrinDlg::RepaintNow() {
    // Paint what changed, but leave the user's clicks and keys for after the operation.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool CTavrinDlg::InitializeDiskTicked() {
    return initializeDisk_->isChecked();
}

void CTavrinDlg::UntickInitializeDisk() {
    initializeDisk_->setChecked(false);
}

void CTavrinDlg::ShowCardSelection(const CardSelection& selection) {
    FillComboBox(*diskList_, selection.diskList);
    FillComboBox(*bankList_, selection.bankList);
    DrawBankBar();
}

void CTavrinDlg::DrawBankBar() {
    const CardSelection& card = context_.card;
    bankBar_->SetBanks(card.banks, card.bar, card.bankList.selected);
    scaleLabel_->setText(BankBarScaleText(card.bar.scale));
}

void CTavrinDlg::ShowBankInfo(const BankInfoData& info) {
    bankInfo_.info = info;
    bankInfo_.DoModal(this);
}

void CTavrinDlg::OnDiskListDropDown() {
    OperationHost::RefreshDiskList(context_.card, context_.makeDevice);
    RescanBanks(context_.card, context_.makeDevice);
    ShowCardSelection(context_.card);
}

void CTavrinDlg::OnDiskSelChange(int index) {
    context_.card.diskList.selected = index;
    RescanBanks(context_.card, context_.makeDevice);
    ShowCardSelection(context_.card);
}

void CTavrinDlg::OnBankSelChange(int index) {
    context_.card.bankList.selected = index;
    DrawBankBar();
}

void CTavrinDlg::RunOperation(bool (*operation)(OperationHost&, OperationContext&)) {
    // The operations read the live settings as they stand now.
    context_.operation = operationSettings_.settings;
    context_.hardware = hardwareSettings_.settings;
    running_ = true;
    operation(*this, context_);
    running_ = false;
}

void CTavrinDlg::OnProgram() {
    RunOperation(tavrin::OnProgram);
}

void CTavrinDlg::OnVerify() {
    RunOperation(tavrin::OnVerify);
}

void CTavrinDlg::OnErase() {
    RunOperation(tavrin::OnErase);
}

void CTavrinDlg::OnCheckInfo() {
    RunOperation(tavrin::OnCheckInfo);
}

void CTavrinDlg::OnMapDrives() {
    ShowMessage(DriveMapText(), MsgButtons::Ok, MsgIcon::Warning);
}

}  // namespace tavrin
