// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QIcon>
#include <QLabel>
#include <QPixmap>

namespace tavrin {

// The tool's own artwork, built into the program.
QPixmap ProductLogo();  // 143 x 39
QPixmap SmallLogo();    // 57 x 39
QIcon ApplicationIcon();

// A label showing a picture at its own size.
QLabel* MakePictureLabel(const QPixmap& picture, const char* objectName, QWidget* parent);

}  // namespace tavrin
