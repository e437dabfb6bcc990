// SPDX-License-Identifier: Apache-2.0
#include "ui/COperationSettings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "text/Texts.h"
#include "ui/Artwork.h"
#include "ui/ModalDialog.h"

namespace tavrin {

COperationSettings::COperationSettings() {
    setObjectName("operationSettingsDialog");
    setWindowTitle("Operation Settings");
    BuildControls();
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    FixSizeOverTexts(*this, 2, [this](int language) { ShowTexts(language); });
    ShowTexts(0);
}

void COperationSettings::BuildControls() {
    auto* languageBox = new QGroupBox("Language", this);
    languageBox->setObjectName("languageGroup");
    english_ = new QRadioButton("English", languageBox);
    english_->setObjectName("englishRadio");
    japanese_ = new QRadioButton("Japanese", languageBox);
    japanese_->setObjectName("japaneseRadio");
    languageGroup_ = new QButtonGroup(this);
    languageGroup_->addButton(english_, 0);
    languageGroup_->addButton(japanese_, 1);
    auto* languageLayout = new QHBoxLayout(languageBox);
    languageLayout->addWidget(english_);
    languageLayout->addWidget(japanese_);

    autoVerifyGroup_ = new QGroupBox(texts::kAutoVerify.english, this);
    autoVerifyGroup_->setObjectName("autoVerifyGroup");
    autoVerify_ = new QCheckBox(texts::kEnable.english, autoVerifyGroup_);
    autoVerify_->setObjectName("autoVerifyCheck");
    (new QHBoxLayout(autoVerifyGroup_))->addWidget(autoVerify_);

    // Quick Erase comes from the settings file only; the dialog carries it through unseen.
    eraseGroup_ = new QGroupBox("Erase Option", this);
    eraseGroup_->setObjectName("eraseOptionGroup");
    quickErase_ = new QCheckBox("Quick Erase", eraseGroup_);
    quickErase_->setObjectName("quickEraseCheck");
    (new QHBoxLayout(eraseGroup_))->addWidget(quickErase_);
    eraseGroup_->hide();

    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("okButton");
    ok_->setDefault(true);
    cancel_ = new QPushButton(texts::kCancel, this);
    cancel_->setObjectName("cancelButton");
    connect(ok_, &QPushButton::clicked, this, [this] {
        TakeControls();
        accept();
    });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(languageBox, 0, 0, 1, 2);
    grid->addWidget(autoVerifyGroup_, 1, 0);
    grid->addWidget(MakePictureLabel(SmallLogo(), "smallLogo", this), 1, 1, Qt::AlignCenter);
    grid->addWidget(eraseGroup_, 2, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    grid->addLayout(buttons, 3, 0, 1, 2);
}

void COperationSettings::TakeControls() {
    settings.language = languageGroup_->checkedId() == 1 ? 1 : 0;
    settings.autoVerify = autoVerify_->isChecked() ? 1 : 0;
    settings.quickErase = quickErase_->isChecked() ? 1 : 0;
}

void COperationSettings::PutStateBack() {
    (settings.language != 0 ? japanese_ : english_)->setChecked(true);
    autoVerify_->setChecked(settings.autoVerify != 0);
    quickErase_->setChecked(settings.quickErase != 0);
}

void COperationSettings::OnInitDialog() {
    PutStateBack();
    // The dialog speaks the language in force when it opens, whatever is clicked inside.
    ShowTexts(settings.language);
    ok_->setFocus();
}

void COperationSettings::ShowTexts(int language) {
    autoVerifyGroup_->setTitle(LocalText(language, texts::kAutoVerify));
    autoVerify_->setText(LocalText(language, texts::kEnable));
    cancel_->setText(texts::kCancel);
    english_->setToolTip(LocalText(language, texts::kTipEnglish));
    japanese_->setToolTip(LocalText(language, texts::kTipJapanese));
    autoVerify_->setToolTip(LocalText(language, texts::kTipAutoVerify));
}

bool COperationSettings::DoModal(QWidget* owner) {
    OnInitDialog();
    return ExecOver(*this, owner) == QDialog::Accepted;
}

}  // namespace tavrin
