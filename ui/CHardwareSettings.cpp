// SPDX-License-Identifier: Apache-2.0
#include "ui/CHardwareSettings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "text/Texts.h"
#include "ui/Artwork.h"
#include "ui/DialogInteger.h"
#include "ui/ModalDialog.h"
#include "ui/UserPrompts.h"

namespace tavrin {

std::array<const char*, 4> SpeedLabels(int parallelMode, unsigned fileMask) {
    if (parallelMode != 0) return {"20 Mbit/s", "40 Mbit/s", "80 Mbit/s", "160 Mbit/s"};
    if ((fileMask & 0xF0u) == 0) return {"5 Mbit/s", "10 Mbit/s", "20 Mbit/s", "40 Mbit/s"};
    return {"2.5 Mbit/s", "5 Mbit/s", "10 Mbit/s", "20 Mbit/s"};
}

CHardwareSettings::CHardwareSettings(UserPrompts& prompts) : prompts_(prompts) {
    setObjectName("hardwareSettingsDialog");
    setWindowTitle("Hardware Settings");
    BuildControls();
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // Room for either language and every set of speed labels.
    const std::array<std::array<const char*, 4>, 3> labelSets{SpeedLabels(1, 0), SpeedLabels(0, 0),
                                                                SpeedLabels(0, 0xF0)};
    FixSizeOverTexts(*this, 6, [this, labelSets](int variant) {
        ShowTexts(variant / 3);
        for (int index = 0; index < 4; ++index) speed_[index]->setText(labelSets[variant % 3][index]);
    });
    ShowTexts(0);
}

QGroupBox* CHardwareSettings::BuildSpeedGroup() {
    auto* box = new QGroupBox(texts::kConfigurationSpeed.english, this);
    box->setObjectName("configurationSpeedGroup");
    speedGroup_ = new QButtonGroup(this);
    auto* layout = new QVBoxLayout(box);
    // Fastest on top.
    for (int index = 3; index >= 0; --index) {
        speed_[index] = new QRadioButton("XXX Mbit/s", box);
        speed_[index]->setObjectName(QString("speedRadio%1").arg(index));
        speedGroup_->addButton(speed_[index], index);
        layout->addWidget(speed_[index]);
    }
    return box;
}

QGroupBox* CHardwareSettings::BuildNumberGroup(const char* role, QLineEdit*& field, int maxLength,
                                               const char* before, const char* after) {
    const QString name(role);
    auto* box = new QGroupBox(this);
    box->setObjectName(name + "Group");
    auto* layout = new QHBoxLayout(box);
    if (before != nullptr) {
        auto* label = new QLabel(before, box);
        label->setObjectName(name + "PrefixLabel");
        layout->addWidget(label);
    }
    field = new QLineEdit(box);
    field->setObjectName(name + "Edit");
    field->setMaxLength(maxLength);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QString(maxLength + 2, '0')) + 8);
    layout->addWidget(field);
    auto* range = new QLabel(after, box);
    range->setObjectName(name + "RangeLabel");
    layout->addWidget(range);
    layout->addStretch();
    return box;
}

void CHardwareSettings::BuildControls() {
    speedBox_ = BuildSpeedGroup();

    typeBox_ = new QGroupBox(texts::kMicroSdType.english, this);
    typeBox_->setObjectName("microSdTypeGroup");
    hiSpeed_ = new QCheckBox(texts::kHiSpeed.english, typeBox_);
    hiSpeed_->setObjectName("hiSpeedCheck");
    (new QHBoxLayout(typeBox_))->addWidget(hiSpeed_);
    connect(hiSpeed_, &QCheckBox::clicked, this, &CHardwareSettings::OnHiSpeed);

    retryBox_ = BuildNumberGroup("retry", retry_, 2, nullptr, "(0-15)");
    delayBox_ = BuildNumberGroup("delay", delay_, 3, "+", "(0-255)");

    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("okButton");
    ok_->setDefault(true);
    cancel_ = new QPushButton(texts::kCancel, this);
    cancel_->setObjectName("cancelButton");
    connect(ok_, &QPushButton::clicked, this, &CHardwareSettings::OnOk);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* right = new QVBoxLayout;
    right->addWidget(typeBox_);
    right->addWidget(retryBox_);
    right->addWidget(delayBox_);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(ok_);
    bottom->addWidget(cancel_);
    bottom->addStretch();
    bottom->addWidget(MakePictureLabel(SmallLogo(), "smallLogo", this));
    auto* grid = new QGridLayout(this);
    grid->addWidget(speedBox_, 0, 0);
    grid->addLayout(right, 0, 1);
    grid->addLayout(bottom, 1, 0, 1, 2);
}

bool CHardwareSettings::TakeControls() {
    int checked = speedGroup_->checkedId();
    if (checked >= 0) settings.frequency = checked;
    settings.hiSpeed = hiSpeed_->isChecked() ? 1 : 0;
    if (!TakeIntegerField(*retry_, 0, 15, settings.retry, prompts_)) return false;
    return TakeIntegerField(*delay_, 0, 255, settings.delay, prompts_);
}

QRadioButton* CHardwareSettings::SpeedButton() const {
    return speed_[settings.frequency >= 0 && settings.frequency <= 3 ? settings.frequency : 0];
}

void CHardwareSettings::PutStateBack() {
    SpeedButton()->setChecked(true);
    hiSpeed_->setChecked(settings.hiSpeed != 0);
    retry_->setText(QString::number(settings.retry));
    delay_->setText(QString::number(settings.delay));
}

void CHardwareSettings::UpdateSpeedLabels() {
    auto labels = SpeedLabels(dialogParallelMode, fileMask);
    for (int index = 0; index < 4; ++index) speed_[index]->setText(labels[index]);
    speed_[3]->setEnabled(settings.hiSpeed == 1);
    if (settings.hiSpeed != 1 && settings.frequency == 3) settings.frequency = 2;
}

void CHardwareSettings::OnHiSpeed() {
    // Speed and Hi-speed are taken before the numbers, so the fastest speed follows the box
    // even when a number field is bad; that field keeps its text and the focus.
    bool taken = TakeControls();
    UpdateSpeedLabels();
    if (taken) {
        PutStateBack();
    } else {
        SpeedButton()->setChecked(true);
    }
}

void CHardwareSettings::OnOk() {
    if (TakeControls()) accept();
}

void CHardwareSettings::ShowTexts(int language) {
    speedBox_->setTitle(LocalText(language, texts::kConfigurationSpeed));
    typeBox_->setTitle(LocalText(language, texts::kMicroSdType));
    hiSpeed_->setText(LocalText(language, texts::kHiSpeed));
    retryBox_->setTitle(LocalText(language, texts::kNumberOfRetry));
    delayBox_->setTitle(LocalText(language, texts::kAdditionalDelay));
    cancel_->setText(texts::kCancel);
    hiSpeed_->setToolTip(LocalText(language, texts::kTipHiSpeed));
    retry_->setToolTip(LocalText(language, texts::kTipRetry));
    delay_->setToolTip(LocalText(language, texts::kTipDelay));
}

void CHardwareSettings::OnInitDialog() {
    PutStateBack();
    ShowTexts(dialogLanguage);
    UpdateSpeedLabels();
    PutStateBack();
    SpeedButton()->setFocus();
}

bool CHardwareSettings::DoModal(QWidget* owner, int language, unsigned mask, int parallelMode) {
    const HardwareSettings before = settings;
    dialogLanguage = language;
    fileMask = mask;
    dialogParallelMode = parallelMode;
    OnInitDialog();
    if (ExecOver(*this, owner) == QDialog::Accepted) return true;
    settings = before;
    return false;
}

}  // namespace tavrin
