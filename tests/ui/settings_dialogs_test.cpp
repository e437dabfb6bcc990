// SPDX-License-Identifier: Apache-2.0
// The Hardware Settings dialog opened from the window: speed labels, the hi-speed rule,
// validation and Cancel.
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "ui/support/WindowTestKit.h"

using namespace tavrin;

namespace {

QRadioButton* Speed(QWidget* dialog, int index) {
    return Child<QRadioButton>(dialog, qPrintable(QString("speedRadio%1").arg(index)));
}

QStringList SpeedTexts(QWidget* dialog) {
    QStringList texts;
    for (int index = 0; index < 4; ++index) texts << Speed(dialog, index)->text();
    return texts;
}

QLineEdit* Edit(QWidget* dialog, const char* name) {
    return Child<QLineEdit>(dialog, name);
}

void Click(QWidget* dialog, const char* name) {
    Child<QAbstractButton>(dialog, name)->click();
}

// Opens Options > Hardware Settings and runs `action` inside it.
void OpenHardwareSettings(CTavrinDlg& window, std::function<void(CHardwareSettings*)> action) {
    OnNextModal<CHardwareSettings>(action);
    window.OnHardwareSettings();
}

void SetNames(CTavrinDlg& window, std::initializer_list<int> numbers) {
    for (int slot : numbers) {
        Child<QLineEdit>(&window, qPrintable(QString("fileEdit%1").arg(slot)))->setText("/f/name.rbf");
    }
}

}  // namespace

class SettingsDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void speedLabelsFollowTheConfigurationMode();
    void fastestSpeedOnlyForHiSpeedCards();
    void numbersOutOfRangeOrNotNumbersCannotBeConfirmed();
    void hiSpeedClickWithABadFieldKeepsTheFieldAndCancelRestores();
    void okStoresAndCancelRestoresAllFour();
    void textsFollowTheLanguageAtOpening();
};

void SettingsDialogsTest::speedLabelsFollowTheConfigurationMode() {
    WindowTestKit kit;
    CTavrinDlg& window = kit.OpenWindow();
    QStringList seen;
    auto record = [&seen](CHardwareSettings* dialog) {
        seen << SpeedTexts(dialog).join(",");
        dialog->reject();
    };
    SetNames(window, {1, 4});
    OpenHardwareSettings(window, record);
    SetNames(window, {7});
    OpenHardwareSettings(window, record);
    Child<QCheckBox>(&window, "parallelModeCheck")->click();
    OpenHardwareSettings(window, record);
    QCOMPARE(seen, QStringList({"5 Mbit/s,10 Mbit/s,20 Mbit/s,40 Mbit/s", "2.5 Mbit/s,5 Mbit/s,10 Mbit/s,20 Mbit/s",
                                "20 Mbit/s,40 Mbit/s,80 Mbit/s,160 Mbit/s"}));
}

void SettingsDialogsTest::fastestSpeedOnlyForHiSpeedCards() {
    WindowTestKit kit;
    kit.WriteSettings("TAVRINDEFAULT.tvs", "Hi-speed=1\nFrequency=3\n");
    CTavrinDlg& window = kit.OpenWindow();
    OpenHardwareSettings(window, [](CHardwareSettings* dialog) {
        QVERIFY(Speed(dialog, 3)->isChecked());
        QVERIFY(Speed(dialog, 3)->isEnabled());
        Click(dialog, "hiSpeedCheck");
        QVERIFY(Speed(dialog, 2)->isChecked());
        QVERIFY(!Speed(dialog, 3)->isEnabled());
        Click(dialog, "hiSpeedCheck");
        QVERIFY(Speed(dialog, 3)->isEnabled());
        QVERIFY(Speed(dialog, 2)->isChecked());
        Click(dialog, "hiSpeedCheck");
        Click(dialog, "okButton");
    });
    QCOMPARE(kit.hardwareSettings.settings.hiSpeed, 0);
    QCOMPARE(kit.hardwareSettings.settings.frequency, 2);
}

void SettingsDialogsTest::numbersOutOfRangeOrNotNumbersCannotBeConfirmed() {
    WindowTestKit kit;
    CTavrinDlg& window = kit.OpenWindow();
    bool stillOpen = false;
    bool focusOnRetry = false;
    OpenHardwareSettings(window, [&](CHardwareSettings* dialog) {
        QCOMPARE(Edit(dialog, "retryEdit")->maxLength(), 2);
        QCOMPARE(Edit(dialog, "delayEdit")->maxLength(), 3);
        Edit(dialog, "retryEdit")->setText("16");
        Click(dialog, "okButton");
        stillOpen = dialog->isVisible();
        focusOnRetry = dialog->focusWidget() == Edit(dialog, "retryEdit");
        Edit(dialog, "retryEdit")->setText("x");
        Click(dialog, "okButton");
        Edit(dialog, "retryEdit")->setText(" 7 ");
        Edit(dialog, "delayEdit")->setText("256");
        Click(dialog, "okButton");
        Edit(dialog, "delayEdit")->setText("");
        Click(dialog, "okButton");
        QCOMPARE(Edit(dialog, "delayEdit")->text(), QString(""));
        Edit(dialog, "delayEdit")->setText("255");
        Click(dialog, "okButton");
    });
    QVERIFY(stillOpen);
    QVERIFY(focusOnRetry);
    QCOMPARE(kit.prompts.host.MessageTexts(), std::vector<std::string>({"Please enter an integer between 0 and 15.",
                                                            "Please enter an integer.",
                                                            "Please enter an integer between 0 and 255.",
                                                            "Please enter an integer."}));
    QVERIFY(kit.prompts.host.messages[0].icon == MsgIcon::Warning);
    QCOMPARE(kit.hardwareSettings.settings.retry, 7);
    QCOMPARE(kit.hardwareSettings.settings.delay, 255);
}

void SettingsDialogsTest::hiSpeedClickWithABadFieldKeepsTheFieldAndCancelRestores() {
    WindowTestKit kit;
    kit.WriteSettings("TAVRINDEFAULT.tvs", "Retry=3\n");
    CTavrinDlg& window = kit.OpenWindow();
    OpenHardwareSettings(window, [](CHardwareSettings* dialog) {
        Edit(dialog, "retryEdit")->setText("20");
        Click(dialog, "hiSpeedCheck");
        QVERIFY(dialog->isVisible());
        QCOMPARE(Edit(dialog, "retryEdit")->text(), QString("20"));
        // The box still governs the fastest speed.
        QVERIFY(Speed(dialog, 3)->isEnabled());
        Click(dialog, "cancelButton");
    });
    QCOMPARE(kit.prompts.host.MessageTexts(), std::vector<std::string>({"Please enter an integer between 0 and 15."}));
    QCOMPARE(kit.hardwareSettings.settings.retry, 3);
    QCOMPARE(kit.hardwareSettings.settings.hiSpeed, 0);
}

void SettingsDialogsTest::okStoresAndCancelRestoresAllFour() {
    WindowTestKit kit;
    CTavrinDlg& window = kit.OpenWindow();
    const HardwareSettings before = kit.hardwareSettings.settings;
    auto change = [](CHardwareSettings* dialog, const char* closeWith) {
        Click(dialog, "hiSpeedCheck");
        Speed(dialog, 3)->click();
        Edit(dialog, "retryEdit")->setText("15");
        Edit(dialog, "delayEdit")->setText("0");
        Click(dialog, closeWith);
    };
    OpenHardwareSettings(window, [&](CHardwareSettings* dialog) { change(dialog, "cancelButton"); });
    QCOMPARE(kit.hardwareSettings.settings.frequency, before.frequency);
    QCOMPARE(kit.hardwareSettings.settings.hiSpeed, before.hiSpeed);
    QCOMPARE(kit.hardwareSettings.settings.retry, before.retry);
    QCOMPARE(kit.hardwareSettings.settings.delay, before.delay);

    OpenHardwareSettings(window, [&](CHardwareSettings* dialog) { change(dialog, "okButton"); });
    QCOMPARE(kit.hardwareSettings.settings.frequency, 3);
    QCOMPARE(kit.hardwareSettings.settings.hiSpeed, 1);
    QCOMPARE(kit.hardwareSettings.settings.retry, 15);
    QCOMPARE(kit.hardwareSettings.settings.delay, 0);
    // Esc is Cancel.
    OpenHardwareSettings(window, [](CHardwareSettings* dialog) {
        Edit(dialog, "retryEdit")->setText("1");
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    QCOMPARE(kit.hardwareSettings.settings.retry, 15);
}

void SettingsDialogsTest::textsFollowTheLanguageAtOpening() {
    WindowTestKit kit;
    kit.WriteSettings("TAVRINDEFAULT.tvs", "Language=1\n");
    CTavrinDlg& window = kit.OpenWindow();
    QStringList seen;
    OpenHardwareSettings(window, [&seen](CHardwareSettings* dialog) {
        seen << Child<QGroupBox>(dialog, "configurationSpeedGroup")->title()
             << Child<QGroupBox>(dialog, "retryGroup")->title() << Child<QCheckBox>(dialog, "hiSpeedCheck")->text()
             << Child<QPushButton>(dialog, "cancelButton")->text() << dialog->windowTitle()
             << Edit(dialog, "delayEdit")->toolTip();
        dialog->reject();
    });
    QCOMPARE(seen, QStringList({"ｺﾝﾌｨｸﾞ速度", "リトライ数", "ﾊｲｽﾋﾟｰﾄﾞﾀｲﾌﾟ", "Cancel", "Hardware Settings",
                                "コンフィグ・ディレイ時間の設定"}));
}

QTEST_MAIN(SettingsDialogsTest)
#include "settings_dialogs_test.moc"
