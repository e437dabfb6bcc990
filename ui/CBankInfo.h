// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QDialog>
#include <array>

#include "ops/OperationHost.h"

class QGroupBox;
class QLabel;
class QLineEdit;

namespace tavrin {

// The File Information dialog: what the selected bank records beside the files named in the
// window. Its one object lives for the whole run and keeps the last contents.
class CBankInfo : public QDialog {
    Q_OBJECT
public:
    CBankInfo();

    BankInfoData info;

    // Shows the contents modally over the owner.
    void DoModal(QWidget* owner);

    void PutStateBack();

private:
    // One table: four column heads, eight rows of four cells and the mode text.
    struct Table {
        QGroupBox* group = nullptr;
        QLabel* mode = nullptr;
        std::array<QLabel*, 4> heads{};
        std::array<std::array<QLabel*, 4>, 8> cells{};
    };

    void BuildControls();
    Table BuildTable(const char* title, const char* prefix);
    void OnInitDialog();
    void ShowTexts(int language, int cardParallelMode, int currentParallelMode);

    Table card_;
    Table current_;
    QLabel* bankCaption_;
    QLineEdit* bankNumber_;
};

}  // namespace tavrin
