// SPDX-License-Identifier: Apache-2.0
#include "ui/DialogInteger.h"

#include <QLineEdit>
#include <QRegularExpression>

#include "ui/UserPrompts.h"

namespace tavrin {

bool ParseDialogInteger(const QString& text, int& value) {
    static const QRegularExpression pattern(R"(^\s*([+-]?[0-9]{1,9})\s*$)");
    QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) return false;
    value = match.captured(1).toInt();
    return true;
}

bool TakeIntegerField(QLineEdit& field, int low, int high, int& value, UserPrompts& prompts) {
    int read = 0;
    if (!ParseDialogInteger(field.text(), read)) {
        prompts.ShowMessage("Please enter an integer.", MsgButtons::Ok, MsgIcon::Warning);
        field.setFocus();
        field.selectAll();
        return false;
    }
    if (read < low || read > high) {
        std::string text = QString("Please enter an integer between %1 and %2.").arg(low).arg(high).toStdString();
        prompts.ShowMessage(text, MsgButtons::Ok, MsgIcon::Warning);
        field.setFocus();
        field.selectAll();
        return false;
    }
    value = read;
    return true;
}

}  // namespace tavrin
