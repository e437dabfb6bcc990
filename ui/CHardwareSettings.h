// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QDialog>
#include <array>

#include "settings/SettingsRecords.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tavrin {

class UserPrompts;

// The four speed labels, slowest first, for the way the card will be configured.
std::array<const char*, 4> SpeedLabels(int parallelMode, unsigned fileMask);

// The Hardware Settings dialog. Its one object lives for the whole run and holds the live
// hardware settings.
class CHardwareSettings : public QDialog {
    Q_OBJECT
public:
    explicit CHardwareSettings(UserPrompts& prompts);

    HardwareSettings settings;
    int dialogLanguage = 0;
    unsigned fileMask = 0;
    int dialogParallelMode = 0;

    // Shows the dialog modally over the owner with the language, the mask of named files and
    // the mode of the main window. On Cancel the four settings get back their values from
    // before. True on OK.
    bool DoModal(QWidget* owner, int language, unsigned mask, int parallelMode);

    // Data exchange with validation, in the order speed, Hi-speed, retry, delay; stops at the
    // first bad field, which gets the focus, after storing the fields before it.
    bool TakeControls();
    void PutStateBack();

    void UpdateSpeedLabels();

private:
    void BuildControls();
    QGroupBox* BuildSpeedGroup();
    QGroupBox* BuildNumberGroup(const char* role, QLineEdit*& field, int maxLength, const char* before,
                                const char* after);
    void ShowTexts(int language);
    void OnInitDialog();
    void OnHiSpeed();
    void OnOk();
    QRadioButton* SpeedButton() const;

    UserPrompts& prompts_;
    std::array<QRadioButton*, 4> speed_{};
    QButtonGroup* speedGroup_;
    QGroupBox* speedBox_;
    QGroupBox* typeBox_;
    QCheckBox* hiSpeed_;
    QGroupBox* retryBox_;
    QLineEdit* retry_;
    QGroupBox* delayBox_;
    QLineEdit* delay_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace tavrin
