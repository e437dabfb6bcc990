// SPDX-License-Identifier: Apache-2.0
#include "ui/UserPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QWidget>

#include "ui/FileDialogs.h"
#include "ui/TavrinMessageBox.h"

namespace tavrin {

namespace {

QWidget* MessageParent() {
    QWidget* parent = QApplication::activeModalWidget();
    return parent != nullptr ? parent : QApplication::activeWindow();
}

}  // namespace

MsgAnswer QtPrompts::ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon) {
    return ShowTavrinMessage(MessageParent(), text, buttons, icon);
}

void QtPrompts::ShowFailure(const std::string& text, MsgIcon icon, const std::string& detail) {
    ShowTavrinMessage(MessageParent(), text, MsgButtons::Ok, icon, detail);
}

std::string QtPrompts::ChooseFile(QWidget* parent, FileDialogKind kind) {
    auto dialog = MakeFileDialog(parent, kind);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
    return dialog->selectedFiles().constFirst().toStdString();
}

}  // namespace tavrin
