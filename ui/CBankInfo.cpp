// SPDX-License-Identifier: Apache-2.0
#include "ui/CBankInfo.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "text/Texts.h"
#include "ui/Artwork.h"
#include "ui/ModalDialog.h"

namespace tavrin {

namespace {

constexpr const char* kColumnNames[4] = {"FileName", "Size", "Date", "Time"};
const TextPair kHeads[4] = {texts::kColumnFileName, texts::kColumnSize, texts::kColumnModifiedDate,
                            texts::kColumnModifiedTime};
// The widest text a cell of each column holds besides its head.
constexpr const char* kWidestCell[4] = {"long_design_name.bit", "-2147483648", "0000/00/00", "00:00:00"};

int ColumnWidth(const QFontMetrics& metrics, int column) {
    int width = metrics.horizontalAdvance(kWidestCell[column]);
    width = std::max(width, metrics.horizontalAdvance(kHeads[column].english));
    width = std::max(width, metrics.horizontalAdvance(QString::fromUtf8(kHeads[column].japanese)));
    return width + 8;
}

QLabel* MakeCell(QWidget* parent, const QString& objectName, int column) {
    auto* cell = new QLabel(parent);
    cell->setObjectName(objectName);
    cell->setFixedWidth(ColumnWidth(cell->fontMetrics(), column));
    cell->setAlignment(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    cell->setWordWrap(false);
    return cell;
}

// A text wider than its cell ends with "…" and shows in full as the cell's tooltip.
void ShowCell(QLabel& cell, const std::string& text) {
    const QString full = QString::fromStdString(text);
    const QString shown = cell.fontMetrics().elidedText(full, Qt::ElideRight, cell.contentsRect().width());
    cell.setText(shown);
    cell.setToolTip(shown == full ? QString() : full);
}

}  // namespace

CBankInfo::CBankInfo() {
    setObjectName("bankInfoDialog");
    setWindowTitle("File Information");
    BuildControls();
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    FixSizeOverTexts(*this, 4, [this](int variant) { ShowTexts(variant / 2, variant % 2, variant % 2); });
    ShowTexts(0, 0, 0);
}

CBankInfo::Table CBankInfo::BuildTable(const char* title, const char* prefix) {
    Table table;
    table.group = new QGroupBox(title, this);
    table.group->setObjectName(QString("%1Group").arg(prefix));
    auto* grid = new QGridLayout(table.group);
    grid->setVerticalSpacing(6);
    table.mode = new QLabel("Config Mode", table.group);
    table.mode->setObjectName(QString("%1ModeLabel").arg(prefix));
    table.mode->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(table.mode, 0, 1, 1, 4, Qt::AlignRight);
    for (int column = 0; column < 4; ++column) {
        table.heads[column] = MakeCell(table.group, QString("%1Head%2").arg(prefix, kColumnNames[column]), column);
        table.heads[column]->setAlignment(Qt::AlignCenter);
        grid->addWidget(table.heads[column], 1, column + 1);
    }
    for (int row = 0; row < 8; ++row) {
        auto* rowLabel = new QLabel(QString("%1.").arg(row + 1), table.group);
        rowLabel->setObjectName(QString("%1RowLabel%2").arg(prefix).arg(row + 1));
        grid->addWidget(rowLabel, row + 2, 0);
        for (int column = 0; column < 4; ++column) {
            QString name = QString("%1%2%3").arg(prefix, kColumnNames[column]).arg(row + 1);
            table.cells[row][column] = MakeCell(table.group, name, column);
            grid->addWidget(table.cells[row][column], row + 2, column + 1);
        }
    }
    return table;
}

void CBankInfo::BuildControls() {
    card_ = BuildTable("microSD", "card");
    current_ = BuildTable(texts::kCurrentSourceFiles.english, "current");
    // Laid out but never shown: the bank number.
    bankCaption_ = new QLabel("Bank", card_.group);
    bankCaption_->setObjectName("bankCaption");
    bankCaption_->hide();
    bankNumber_ = new QLineEdit(card_.group);
    bankNumber_->setObjectName("bankNumberEdit");
    bankNumber_->hide();

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* tables = new QHBoxLayout;
    tables->addWidget(card_.group);
    tables->addWidget(current_.group);
    auto* bottom = new QGridLayout;
    bottom->setColumnStretch(0, 1);
    bottom->setColumnStretch(2, 1);
    bottom->addWidget(ok, 0, 1);
    bottom->addWidget(MakePictureLabel(ProductLogo(), "productLogo", this), 0, 2, Qt::AlignRight);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tables);
    layout->addLayout(bottom);
}

void CBankInfo::PutStateBack() {
    const std::array<const std::array<std::string, 8>*, 4> cardColumns{&info.cardFileName, &info.cardSize,
                                                                       &info.cardDate, &info.cardTime};
    const std::array<const std::array<std::string, 8>*, 4> currentColumns{
        &info.currentFileName, &info.currentSize, &info.currentDate, &info.currentTime};
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 4; ++column) {
            ShowCell(*card_.cells[row][column], (*cardColumns[column])[row]);
            ShowCell(*current_.cells[row][column], (*currentColumns[column])[row]);
        }
    }
    bankNumber_->setText(QString::number(info.bankNumber));
}

void CBankInfo::OnInitDialog() {
    PutStateBack();
    ShowTexts(info.dialogLanguage, info.cardParallelMode, info.currentParallelMode);
}

void CBankInfo::ShowTexts(int language, int cardParallelMode, int currentParallelMode) {
    current_.group->setTitle(LocalText(language, texts::kCurrentSourceFiles));
    for (int column = 0; column < 4; ++column) {
        card_.heads[column]->setText(LocalText(language, kHeads[column]));
        current_.heads[column]->setText(LocalText(language, kHeads[column]));
    }
    auto modeText = [language](int parallel) {
        return LocalText(language, parallel != 0 ? texts::kParallelMode : texts::kSerialMode);
    };
    current_.mode->setText(modeText(currentParallelMode));
    card_.mode->setText(modeText(cardParallelMode));
}

void CBankInfo::DoModal(QWidget* owner) {
    OnInitDialog();
    ExecOver(*this, owner);
}

}  // namespace tavrin
