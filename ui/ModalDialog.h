// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <functional>

class QDialog;
class QString;
class QWidget;

namespace tavrin {

// Runs a dialog that lives apart from the window (the process-wide dialog objects) modally
// over it: placed in front of the owner and centred on it, at the same place every time the
// owner stands still. Returns the dialog's result.
int ExecOver(QDialog& dialog, QWidget* owner);

// The width a window needs for its title under a window manager: the title in a bold, somewhat
// larger face beside the window icon and up to three buttons.
int TitleRoom(const QString& title);

// Fixes a window at the largest size its layout asks for over every variant of its texts
// (the two languages, the speed labels), so that it keeps one size whatever it shows, and
// wide enough for its title. showVariant(0 … variants - 1) puts one variant's texts in place.
void FixSizeOverTexts(QWidget& window, int variants, const std::function<void(int)>& showVariant);

// FixSizeOverTexts for a dialog whose texts never change.
void MakeFixedSize(QDialog& dialog);

}  // namespace tavrin
