// SPDX-License-Identifier: Apache-2.0
#include "ui/UserPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QWidget>

#include "ui/FileDialogs.h"
#include "ui/TavrinMessageBox.h"

MsgAnswer QtPrompts::ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon) {
    QWidget* parent = QApplication::activeModalWidget();
    if (parent == nullptr) parent = QApplication::activeWindow();
    return ShowTavrinMessage(parent, text, buttons, icon);
}

std::string QtPrompts::ChooseFile(QWidget* parent, FileDialogKind kind) {
    auto dialog = MakeFileDialog(parent, kind);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
    return dialog->selectedFiles().constFirst().toStdString();
}
