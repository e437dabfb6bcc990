// SPDX-License-Identifier: Apache-2.0
#include "ui/ModalDialog.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QLayout>
#include <QWindow>
#include <algorithm>

namespace tavrin {

int ExecOver(QDialog& dialog, QWidget* owner) {
    if (owner != nullptr) {
        QWidget* top = owner->window();
        dialog.winId();
        if (dialog.windowHandle() != nullptr && top->windowHandle() != nullptr) {
            dialog.windowHandle()->setTransientParent(top->windowHandle());
        }
        // Client areas, not frames: the frame is unknown before the first showing and known
        // after it, which would move the dialog between its first and second opening.
        QRect area(QPoint(), dialog.size());
        area.moveCenter(top->geometry().center());
        dialog.setGeometry(area);
    }
    dialog.setWindowModality(Qt::ApplicationModal);
    return dialog.exec();
}

int TitleRoom(const QString& title) {
    QFont font = QApplication::font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.25);
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(title) + 9 * metrics.height();
}

void FixSizeOverTexts(QWidget& window, int variants, const std::function<void(int)>& showVariant) {
    QLayout* layout = window.layout();
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    QSize size(TitleRoom(window.windowTitle()), 0);
    for (int variant = 0; variant < variants; ++variant) {
        showVariant(variant);
        layout->invalidate();
        layout->activate();
        size = size.expandedTo(layout->totalSizeHint());
    }
    window.setFixedSize(size);
}

void MakeFixedSize(QDialog& dialog) {
    dialog.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    FixSizeOverTexts(dialog, 1, [](int) {});
}

}  // namespace tavrin
