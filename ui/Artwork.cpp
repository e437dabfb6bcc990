// SPDX-License-Identifier: Apache-2.0
#include "ui/Artwork.h"

namespace tavrin {

QPixmap ProductLogo() {
    return QPixmap(":/tavrin/logo.png");
}

QPixmap SmallLogo() {
    return QPixmap(":/tavrin/logo-small.png");
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256}) icon.addFile(QString(":/tavrin/icon-%1.png").arg(size), QSize(size, size));
    return icon;
}

QLabel* MakePictureLabel(const QPixmap& picture, const char* objectName, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setPixmap(picture);
    label->setFixedSize(picture.size());
    return label;
}

}  // namespace tavrin
