// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QDialog>

#include "settings/SettingsRecords.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace tavrin {

// The Operation Settings dialog. Its one object lives for the whole run and holds the live
// operation settings.
class COperationSettings : public QDialog {
    Q_OBJECT
public:
    COperationSettings();

    OperationSettings settings;

    // Shows the dialog modally over the owner; true on OK, when the settings hold the choice.
    bool DoModal(QWidget* owner);

    // Data exchange: controls into the settings, settings into the controls.
    void TakeControls();
    void PutStateBack();

private:
    void BuildControls();
    void OnInitDialog();
    void ShowTexts(int language);

    QButtonGroup* languageGroup_;
    QRadioButton* english_;
    QRadioButton* japanese_;
    QGroupBox* autoVerifyGroup_;
    QCheckBox* autoVerify_;
    QGroupBox* eraseGroup_;
    QCheckBox* quickErase_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace tavrin
