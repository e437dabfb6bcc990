// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QDialog>
#include <array>
#include <string>

#include "ops/Operations.h"
#include "settings/RecentList.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QProgressBar;
class QPushButton;

namespace tavrin {

class CBankInfo;
class CHardwareSettings;
class COperationSettings;
class BankBar;
class DiskComboBox;
class UserPrompts;

// The main window: the disk, the eight configuration files, Parallel Mode and the operation
// buttons. It runs every operation and refreshes itself around them. Opening it loads the
// default settings file of the current directory; closing it by any route saves it.
class CTavrinDlg : public QDialog, public OperationHost {
    Q_OBJECT
public:
    CTavrinDlg(COperationSettings& operationSettings, CHardwareSettings& hardwareSettings, CBankInfo& bankInfo,
               UserPrompts& prompts, QWidget* parent = nullptr);

    int loadLanguage = 0;
    std::string startupDirectory;
    std::string defaultSettingsPath;
    RecentFiles recentFiles;

    // The window state (file names, Parallel Mode) and the selected card live here.
    OperationContext& Context() { return context_; }

    // Data exchange between the controls and the window state.
    void TakeControls();
    void PutStateBack();

    void ApplyLanguage();
    void BuildToolTips();
    void ApplyParallelMode();
    void DrawBankBar();
    void RebuildRecentMenu();
    void UpdateRecentList(const std::string& path);
    void LoadSettings(const std::string& path);
    void SaveSettings(const std::string& path);

    // OperationHost
    MsgAnswer ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon) override;
    void ShowFailure(const std::string& text, MsgIcon icon, const std::string& detail) override;
    void SetPercentText(OpButton button, const std::string& text) override;
    void SetProgress(int percent) override;
    void EnableButton(OpButton button, bool enabled) override;
    void RepaintNow() override;
    bool InitializeDiskTicked() override;
    void UntickInitializeDisk() override;
    void TakeControls(WindowState& state) override;
    void PutStateBack(const WindowState& state) override;
    void ShowCardSelection(const CardSelection& selection) override;
    void ShowBankInfo(const BankInfoData& info) override;

public slots:
    void OnCheckInfo();
    void OnBrowse(int slot);
    void OnParallelMode();
    void OnClearList();
    void OnProgram();
    void OnVerify();
    void OnErase();
    void OnMapDrives();
    void OnOpenSettings();
    void OnSaveSettings();
    void OnRecentFile(int entry);
    void OnExit();
    void OnOperationSettings();
    void OnHardwareSettings();
    void OnAbout();
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void OnInitDialog();
    void Relabel(int language);
    void BuildControls();
    QGroupBox* BuildDiskGroup();
    QGroupBox* BuildFileGroup();
    QGroupBox* BuildOperationGroup();
    void BuildMenus();
    void ConnectHandlers();
    void OnDiskListDropDown();
    void OnDiskSelChange(int index);
    void OnBankSelChange(int index);
    void RunOperation(bool (*operation)(OperationHost&, OperationContext&));
    void SetCaretToEnd(int slot);
    QPushButton* ButtonFor(OpButton button) const;
    QLabel* PercentLabelFor(OpButton button) const;

    COperationSettings& operationSettings_;
    CHardwareSettings& hardwareSettings_;
    CBankInfo& bankInfo_;
    UserPrompts& prompts_;
    OperationContext context_;
    bool running_ = false;
    QPushButton* refocus_ = nullptr;
    bool closing_ = false;

    QMenuBar* menuBar_;
    QMenu* fileMenu_;
    QMenu* optionsMenu_;
    QMenu* helpMenu_;

    QGroupBox* diskGroup_;
    QLabel* selectDiskLabel_;
    DiskComboBox* diskList_;
    QCheckBox* initializeDisk_;
    QLabel* bankLabel_;
    QComboBox* bankList_;
    QPushButton* checkInfo_;
    QLabel* scaleLabel_;
    BankBar* bankBar_;

    QGroupBox* fileGroup_;
    QCheckBox* parallelMode_;
    QPushButton* clearList_;
    QPushButton* mapDrives_;
    std::array<QLabel*, 8> fileLabel_{};
    std::array<QLineEdit*, 8> fileEdit_{};
    std::array<QPushButton*, 8> browse_{};

    QGroupBox* operationGroup_;
    QPushButton* program_;
    QLabel* programPercent_;
    QPushButton* verify_;
    QLabel* verifyPercent_;
    QPushButton* erase_;
    QLabel* erasePercent_;
    QProgressBar* progress_;
};

}  // namespace tavrin
