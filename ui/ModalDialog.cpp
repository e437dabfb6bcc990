// SPDX-License-Identifier: Apache-2.0
#include "ui/ModalDialog.h"

#include <QDialog>
#include <QLayout>
#include <QWindow>

int ExecOver(QDialog& dialog, QWidget* owner) {
    if (owner != nullptr) {
        QWidget* top = owner->window();
        dialog.winId();
        if (dialog.windowHandle() != nullptr && top->windowHandle() != nullptr) {
            dialog.windowHandle()->setTransientParent(top->windowHandle());
        }
        dialog.adjustSize();
        QRect frame = dialog.frameGeometry();
        frame.moveCenter(top->frameGeometry().center());
        dialog.move(frame.topLeft());
    }
    dialog.setWindowModality(Qt::ApplicationModal);
    return dialog.exec();
}

void MakeFixedSize(QDialog& dialog) {
    dialog.layout()->setSizeConstraint(QLayout::SetFixedSize);
    dialog.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}
