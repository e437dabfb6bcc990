// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QWidget>

#include "card/BankTable.h"
#include "ops/CardSelection.h"

namespace tavrin {

// The bank usage bar: a white bar of 230 x 20 pixels with one block per present bank,
// green for the bank selected in the bank list and blue for the others.
class BankBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 230;
    static constexpr int kHeight = 20;

    explicit BankBar(QWidget* parent = nullptr);

    void SetBanks(const BankTable& banks, const BankBarGeometry& geometry, int selectedBank);

    // The rectangle of slot i (0..3) in the widget's pixels; empty when the slot is absent.
    QRect BlockRect(int slot) const;
    bool IsSelectedBlock(int slot) const { return slot == selectedBank_; }

    QSize sizeHint() const override { return {kWidth, kHeight}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    BankTable banks_;
    BankBarGeometry geometry_;
    int selectedBank_ = 0;
};

// "1%", "10%" or "100%" for the bar's scale -1, 0 or 1.
const char* BankBarScaleText(int scale);

}  // namespace tavrin
