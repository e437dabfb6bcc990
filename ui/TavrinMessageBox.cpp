// SPDX-License-Identifier: Apache-2.0
#include "ui/TavrinMessageBox.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>

namespace tavrin {

QString ApplicationCaption() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

namespace {

QMessageBox::Icon QtIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Error: return QMessageBox::Critical;
    case MsgIcon::Warning: return QMessageBox::Warning;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Information: break;
    }
    return QMessageBox::Information;
}

QMessageBox::StandardButtons QtButtons(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

MsgAnswer Answer(int button, MsgButtons buttons) {
    switch (button) {
    case QMessageBox::Ok: return MsgAnswer::Ok;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    default: break;
    }
    // Esc or the close box: the safe answer of the box.
    return buttons == MsgButtons::YesNo ? MsgAnswer::No : buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
}

}  // namespace

MsgAnswer ShowTavrinMessage(QWidget* parent, const std::string& text, MsgButtons buttons, MsgIcon icon,
                            const std::string& detail) {
    QMessageBox box(QtIcon(icon), ApplicationCaption(), QString::fromStdString(text), QtButtons(buttons), parent);
    box.setObjectName("tavrinMessageBox");
    if (!detail.empty()) box.setDetailedText(QString::fromStdString(detail));
    if (buttons == MsgButtons::YesNo) box.setDefaultButton(QMessageBox::Yes);
    return Answer(box.exec(), buttons);
}

}  // namespace tavrin
