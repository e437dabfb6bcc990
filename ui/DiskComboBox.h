// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QComboBox>

namespace tavrin {

// A drop-down list that says when its pop-up is about to open, so that the disk list can be
// rebuilt first.
class DiskComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override {
        emit aboutToShowPopup();
        QComboBox::showPopup();
    }

signals:
    void aboutToShowPopup();
};

}  // namespace tavrin
