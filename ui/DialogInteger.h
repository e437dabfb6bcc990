// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QString>

class QLineEdit;

namespace tavrin {

class UserPrompts;

// Reads a field the way dialog data exchange reads an int: blanks, an optional sign and
// decimal digits, blanks. False for anything else, an empty field included.
bool ParseDialogInteger(const QString& text, int& value);

// Takes an integer field within [low, high] into value. On failure shows "Please enter an
// integer." or the range message, gives the field the focus and leaves value alone.
bool TakeIntegerField(QLineEdit& field, int low, int high, int& value, UserPrompts& prompts);

}  // namespace tavrin
