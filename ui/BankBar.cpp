// SPDX-License-Identifier: Apache-2.0
#include "ui/BankBar.h"

#include <QPainter>
#include <algorithm>

namespace tavrin {

BankBar::BankBar(QWidget* parent) : QWidget(parent) {
    setFixedSize(kWidth, kHeight);
}

void BankBar::SetBanks(const BankTable& banks, const BankBarGeometry& geometry, int selectedBank) {
    banks_ = banks;
    geometry_ = geometry;
    selectedBank_ = selectedBank;
    update();
}

QRect BankBar::BlockRect(int slot) const {
    if (slot < 0 || slot >= 4 || banks_.bankPresent[slot] == 0) return {};
    // A damaged table can put a block far beyond the bar; it is clipped when drawn.
    int x = static_cast<int>(std::min<uint32_t>(geometry_.x[slot], 100000));
    int width = static_cast<int>(std::min<uint32_t>(geometry_.width[slot], 100000));
    return {x, 0, width, kHeight};
}

namespace {

// A filled rectangle with a one-pixel black outline inside its bounds, as GDI draws it.
void DrawOutlined(QPainter& painter, const QRect& rect, const QColor& fill) {
    painter.fillRect(rect, fill);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
}

}  // namespace

void BankBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawOutlined(painter, rect(), Qt::white);
    for (int slot = 0; slot < 4; ++slot) {
        QRect block = BlockRect(slot);
        if (block.isNull()) continue;
        DrawOutlined(painter, block, slot == selectedBank_ ? QColor(0, 255, 0) : QColor(0, 0, 255));
    }
}

const char* BankBarScaleText(int scale) {
    if (scale < 0) return "1%";
    return scale == 0 ? "10%" : "100%";
}

}  // namespace tavrin
