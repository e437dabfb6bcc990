// SPDX-License-Identifier: Apache-2.0
// The main window's controls and menus, in the order and with the texts the window starts with.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "text/Texts.h"
#include "ui/Artwork.h"
#include "ui/BankBar.h"
#include "ui/CTavrinDlg.h"
#include "ui/DiskComboBox.h"

namespace tavrin {

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const QString& objectName) {
    widget->setObjectName(objectName);
    return widget;
}

QLabel* PercentLabel(QWidget* parent, const char* objectName) {
    auto* label = Named(new QLabel("0%", parent), objectName);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance("100%") + 4);
    return label;
}

}  // namespace

QGroupBox* CTavrinDlg::BuildDiskGroup() {
    diskGroup_ = Named(new QGroupBox(texts::kDisk.english, this), "diskGroup");
    selectDiskLabel_ = Named(new QLabel(texts::kSelectDisk.english, diskGroup_), "selectDiskLabel");
    diskList_ = Named(new DiskComboBox(diskGroup_), "diskList");
    diskList_->setMinimumWidth(130);
    initializeDisk_ = Named(new QCheckBox(texts::kInitializeDisk.english, diskGroup_), "initializeDiskCheck");
    bankLabel_ = Named(new QLabel("Bank#", diskGroup_), "bankLabel");
    bankList_ = Named(new QComboBox(diskGroup_), "bankList");
    bankLabel_->hide();
    bankList_->hide();
    checkInfo_ = Named(new QPushButton(texts::kCheckInfo.english, diskGroup_), "checkInfoButton");
    auto* zero = Named(new QLabel("0", diskGroup_), "barZeroLabel");
    scaleLabel_ = Named(new QLabel("%MAX", diskGroup_), "scaleLabel");
    scaleLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    bankBar_ = Named(new BankBar(diskGroup_), "bankBar");

    auto* top = new QHBoxLayout;
    top->addWidget(selectDiskLabel_);
    top->addWidget(diskList_, 1);
    top->addSpacing(8);
    top->addWidget(initializeDisk_);
    top->addWidget(bankLabel_);
    top->addWidget(bankList_);
    auto* scale = new QHBoxLayout;
    scale->addWidget(zero);
    scale->addStretch();
    scale->addWidget(scaleLabel_);
    auto* bar = new QVBoxLayout;
    bar->setSpacing(2);
    bar->addLayout(scale);
    bar->addWidget(bankBar_);
    auto* bottom = new QHBoxLayout;
    bottom->addLayout(bar);
    bottom->addStretch();
    bottom->addWidget(checkInfo_, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(diskGroup_);
    layout->addLayout(top);
    layout->addLayout(bottom);
    return diskGroup_;
}

QGroupBox* CTavrinDlg::BuildFileGroup() {
    fileGroup_ = Named(new QGroupBox(texts::kSelectConfigurationFile.english, this), "configFileGroup");
    parallelMode_ = Named(new QCheckBox(texts::kParallelModeConfiguration.english, fileGroup_), "parallelModeCheck");
    clearList_ = Named(new QPushButton(texts::kClearList.english, fileGroup_), "clearListButton");
    mapDrives_ = Named(new QPushButton("Map Drives", fileGroup_), "mapDrivesButton");
    mapDrives_->hide();

    auto* grid = new QGridLayout(fileGroup_);
    auto* top = new QHBoxLayout;
    top->addWidget(parallelMode_);
    top->addStretch();
    top->addWidget(mapDrives_);
    top->addWidget(clearList_);
    grid->addLayout(top, 0, 0, 1, 3);
    for (int slot = 0; slot < 8; ++slot) {
        const QString n = QString::number(slot + 1);
        fileLabel_[slot] = Named(new QLabel(texts::kFileLabel[slot].english, fileGroup_), "fileLabel" + n);
        fileLabel_[slot]->setAlignment(Qt::AlignCenter);
        fileEdit_[slot] = Named(new QLineEdit(fileGroup_), "fileEdit" + n);
        fileEdit_[slot]->setMinimumWidth(220);
        browse_[slot] = Named(new QPushButton(texts::kBrowse.english, fileGroup_), "browseButton" + n);
        grid->addWidget(fileLabel_[slot], slot + 1, 0);
        grid->addWidget(fileEdit_[slot], slot + 1, 1);
        grid->addWidget(browse_[slot], slot + 1, 2);
    }
    return fileGroup_;
}

QGroupBox* CTavrinDlg::BuildOperationGroup() {
    operationGroup_ = Named(new QGroupBox(texts::kOperation.english, this), "operationGroup");
    program_ = Named(new QPushButton(texts::kProgram.english, operationGroup_), "programButton");
    programPercent_ = PercentLabel(operationGroup_, "programPercentLabel");
    verify_ = Named(new QPushButton(texts::kVerify.english, operationGroup_), "verifyButton");
    verifyPercent_ = PercentLabel(operationGroup_, "verifyPercentLabel");
    erase_ = Named(new QPushButton("Erase", operationGroup_), "eraseButton");
    erasePercent_ = PercentLabel(operationGroup_, "erasePercentLabel");
    erase_->hide();
    erasePercent_->hide();
    progress_ = Named(new QProgressBar(operationGroup_), "progressBar");
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setTextVisible(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(program_);
    buttons->addWidget(programPercent_);
    buttons->addSpacing(12);
    buttons->addWidget(verify_);
    buttons->addWidget(verifyPercent_);
    buttons->addWidget(erase_);
    buttons->addWidget(erasePercent_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(operationGroup_);
    layout->addLayout(buttons);
    layout->addWidget(progress_);
    return operationGroup_;
}

void CTavrinDlg::BuildControls() {
    auto* layout = new QVBoxLayout(this);
    BuildMenus();
    layout->setMenuBar(menuBar_);
    layout->addWidget(BuildDiskGroup());
    layout->addWidget(BuildFileGroup());
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(BuildOperationGroup(), 1);
    bottom->addWidget(MakePictureLabel(ProductLogo(), "productLogo", this), 0, Qt::AlignBottom);
    layout->addLayout(bottom);
}

void CTavrinDlg::BuildMenus() {
    auto command = [this](QMenu* menu, const char* text, const char* objectName, void (CTavrinDlg::*handler)()) {
        QAction* action = Named(menu->addAction(text), objectName);
        connect(action, &QAction::triggered, this, handler);
    };
    menuBar_ = Named(new QMenuBar(this), "menuBar");
    fileMenu_ = Named(menuBar_->addMenu(texts::kMenuFile.english), "fileMenu");
    command(fileMenu_, texts::kMenuOpenSettings.english, "openSettingsAction", &CTavrinDlg::OnOpenSettings);
    command(fileMenu_, texts::kMenuSaveSettings.english, "saveSettingsAction", &CTavrinDlg::OnSaveSettings);
    fileMenu_->addSeparator();
    // Placeholders where the recent entries go; the first rebuild replaces them.
    for (int entry = 1; entry <= 4; ++entry) fileMenu_->addAction(QString("Recent File %1").arg(entry));
    fileMenu_->addSeparator();
    command(fileMenu_, texts::kMenuExit.english, "exitAction", &CTavrinDlg::OnExit);

    optionsMenu_ = Named(menuBar_->addMenu(texts::kMenuOptions.english), "optionsMenu");
    command(optionsMenu_, texts::kMenuOperationSettings.english, "operationSettingsAction",
            &CTavrinDlg::OnOperationSettings);
    command(optionsMenu_, texts::kMenuHardwareSettings.english, "hardwareSettingsAction",
            &CTavrinDlg::OnHardwareSettings);

    helpMenu_ = Named(menuBar_->addMenu(texts::kMenuHelp.english), "helpMenu");
    command(helpMenu_, texts::kMenuAbout.english, "aboutAction", &CTavrinDlg::OnAbout);
}

}  // namespace tavrin
