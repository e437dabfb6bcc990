// SPDX-License-Identifier: Apache-2.0
// The card operations run from the window's buttons against image files in a fake drive tree,
// and the disk area that shows the selected card.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <cerrno>
#include <cstring>

#include "card/CardLayout.h"
#include "ui/BankBar.h"
#include "ui/support/WindowTestKit.h"

using namespace tavrin;

namespace {

constexpr uint64_t kCardSectors = 65536;

QString Text(QObject* root, const char* name) {
    if (auto* label = Child<QLabel>(root, name)) return label->text();
    if (auto* group = Child<QGroupBox>(root, name)) return group->title();
    return "<missing " + QString(name) + ">";
}

QLineEdit* Field(CTavrinDlg& window, int slot) {
    return Child<QLineEdit>(&window, qPrintable(QString("fileEdit%1").arg(slot)));
}

QPushButton* Button(CTavrinDlg& window, const char* name) {
    return Child<QPushButton>(&window, name);
}

// A card with one partition, as a card reader shows a formatted card.
int AddFormattedCard(WindowTestKit& kit, uint64_t sectors = kCardSectors) {
    int drive = kit.AddCard("sdb", sectors);
    kit.drives.AddPartition("sdb", 1, 8192, sectors - 8192);
    return drive;
}

void WriteBank(WindowTestKit& kit, int index, uint32_t start, uint32_t length) {
    SectorBytes sector = BuildBankSector(length, start, 2, 0, 0, 0, 0x1);
    kit.drives.WriteBytes(kit.drives.NodePath("sdb"), uint64_t(index) * 512,
                          std::vector<uint8_t>(sector.begin(), sector.end()));
}

// Programs the names in the fields onto a card without the signature: Initialize Disk ticked
// and the format question answered Yes.
void ProgramBlankCard(WindowTestKit& kit, CTavrinDlg& window) {
    Child<QCheckBox>(&window, "initializeDiskCheck")->setChecked(true);
    kit.prompts.host.answers = {MsgAnswer::Yes};
    Button(window, "programButton")->click();
}

// The frame's resets, whatever the operation's outcome.
void ExpectIdle(CTavrinDlg& window) {
    QCOMPARE(Text(&window, "programPercentLabel"), QString("0%"));
    QCOMPARE(Text(&window, "verifyPercentLabel"), QString("0%"));
    QCOMPARE(Child<QProgressBar>(&window, "progressBar")->value(), 0);
    QVERIFY(!Child<QCheckBox>(&window, "initializeDiskCheck")->isChecked());
    QVERIFY(Button(window, "programButton")->isEnabled());
    QVERIFY(Button(window, "verifyButton")->isEnabled());
}

// What the progress bar and the operation's button went through during a run.
class ProgressLog : public QObject {
public:
    ProgressLog(CTavrinDlg& window, const char* buttonName) : button_(Button(window, buttonName)) {
        connect(Child<QProgressBar>(&window, "progressBar"), &QProgressBar::valueChanged, this,
                [this](int value) { values << value; });
        button_->installEventFilter(this);
    }

    QList<int> values;
    QList<bool> buttonStates;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange) buttonStates << button_->isEnabled();
        return false;
    }

private:
    QPushButton* button_;
};

}  // namespace

class WindowOperationsTest : public QObject {
    Q_OBJECT
private slots:
    void programThenVerifyThroughTheButtons();
    void programWithAutoVerifyReportsBoth();
    void failedProgramStillResetsTheFrame();
    void refusedInitializationResetsTheFrame();
    void verifyOfADifferentFileFailsAndResets();
    void aFailedReadShowsTheSystemsReason();
    void hiddenEraseButtonQuickErasesTheHeader();
    void checkInfoShowsBankAndCurrentFiles();
    void checkInfoInJapaneseKeepsTitleGroupAndOk();
    void checkInfoOnABlankCardShowsNoDialog();
    void longFileNamesEndWithAnEllipsisAndShowInFullAsTooltips();
    void theFocusStaysOnTheButtonThatStartedTheOperation();
    void diskListIsRebuiltWhenItDropsDown();
    void bankBarScaleFollowsTheEndOfTheBanks();
    void bankBarDrawsSelectedGreenOthersBlue();
};

void WindowOperationsTest::programThenVerifyThroughTheButtons() {
    WindowTestKit kit;
    AddFormattedCard(kit);
    const std::string a = kit.MakeRbf("A.rbf", 20000, 1);
    const std::string b = kit.MakeBit("b.bit", 30000, 2);
    CTavrinDlg& window = kit.OpenWindow();
    QCOMPARE(Child<QComboBox>(&window, "diskList")->currentText(), QString("Disk0"));
    Field(window, 1)->setText(QString::fromStdString(a));
    Field(window, 2)->setText(QString::fromStdString(b));
    ProgressLog log(window, "programButton");
    ProgramBlankCard(kit, window);
    QCOMPARE(kit.prompts.host.LastMessage(), std::string("Program configuration completed."));
    QVERIFY(kit.prompts.host.messages.back().icon == MsgIcon::Information);
    QVERIFY(log.values.contains(100));
    QCOMPARE(log.buttonStates, QList<bool>({false, true}));
    ExpectIdle(window);
    // The disk list and the bar were refreshed after success.
    QCOMPARE(Child<QComboBox>(&window, "diskList")->currentText(), QString("Disk0 [Tavrin]"));
    QVERIFY(!Child<BankBar>(&window, "bankBar")->BlockRect(0).isNull());
    QCOMPARE(Child<QComboBox>(&window, "bankList")->count(), 2);

    kit.prompts.host.messages.clear();
    ProgressLog verifyLog(window, "verifyButton");
    Button(window, "verifyButton")->click();
    QCOMPARE(kit.prompts.host.MessageTexts(), std::vector<std::string>({"Verify completed."}));
    QVERIFY(verifyLog.values.contains(100));
    QCOMPARE(verifyLog.buttonStates, QList<bool>({false, true}));
    ExpectIdle(window);
}

void WindowOperationsTest::programWithAutoVerifyReportsBoth() {
    WindowTestKit kit;
    AddFormattedCard(kit);
    const std::string a = kit.MakeRbf("one.rbf", 50000, 3);
    kit.WriteSettings("TAVRINDEFAULT.tvs", "Auto Verify=1\nParallel Mode=1\nLanguage=1\nFile Name1=" + a + "\n");
    CTavrinDlg& window = kit.OpenWindow();
    ProgramBlankCard(kit, window);
    QCOMPARE(kit.prompts.host.LastMessage(), std::string("書き込み、ベリファイ成功"));
    ExpectIdle(window);
}

void WindowOperationsTest::failedProgramStillResetsTheFrame() {
    WindowTestKit kit;
    AddFormattedCard(kit);
    const std::string a = kit.MakeRbf("a.rbf", 1000, 4);
    CTavrinDlg& window = kit.OpenWindow();
    Field(window, 1)->setText(QString::fromStdString(a));
    Button(window, "programButton")->click();
    QCOMPARE(kit.prompts.host.MessageTexts(), std::vector<std::string>({"Please initialize disk first."}));
    ExpectIdle(window);
    QCOMPARE(Child<QComboBox>(&window, "diskList")->currentText(), QString("Disk0"));
}

void WindowOperationsTest::refusedInitializationResetsTheFrame() {
    WindowTestKit kit;
    AddFormattedCard(kit);
    const std::string a = kit.MakeRbf("a.rbf", 1000, 4);
    CTavrinDlg& window = kit.OpenWindow();
    Field(window, 1)->setText(QString::fromStdString(a));
    Child<QCheckBox>(&window, "initializeDiskCheck")->setChecked(true);
    kit.prompts.host.answers = {MsgAnswer::No};
    Button(window, "programButton")->click();
    QCOMPARE(kit.prompts.host.messages.size(), size_t(1));
    QVERIFY(kit.prompts.host.messages[0].buttons == MsgButtons::YesNo);
    ExpectIdle(window);
    std::vector<uint8_t> sector0 = FakeDriveTree::ReadBytes(kit.drives.NodePath("sdb"), 0, 512);
    QVERIFY(!HasTavrinSignature(sector0.data()));
}

void WindowOperationsTest::verifyOfADifferentFileFailsAndResets() {
    WindowTestKit kit;
    AddFormattedCard(kit);
    const std::string a = kit.MakeRbf("a.rbf", 9000, 5);
    CTavrinDlg& window = kit.OpenWindow();
    Field(window, 1)->setText(QString::fromStdString(a));
    ProgramBlankCard(kit, window);
    kit.MakeRbf("a.rbf", 9000, 6);
    kit.prompts.host.messages.clear();
    Button(window, "verifyButton")->click();
    QCOMPARE(kit.prompts.host.messages.size(), size_t(1));
    QVERIFY(kit.prompts.host.messages[0].icon == MsgIcon::Error || kit.prompts.host.messages[0].icon == MsgIcon::Warning);
    QVERIFY(kit.prompts.host.LastMessage() != "Verify completed.");
    ExpectIdle(window);
}

void WindowOperationsTest::aFailedReadShowsTheSystemsReason() {
    WindowTestKit kit;
    AddFormattedCard(kit);
    WriteBank(kit, 0, 2 * kCardSectors, 64);  // its records lie past the end of the card
    const std::string a = kit.MakeRbf("a.rbf", 1000, 7);
    CTavrinDlg& window = kit.OpenWindow();
    Field(window, 1)->setText(QString::fromStdString(a));
    Button(window, "verifyButton")->click();
    QCOMPARE(kit.prompts.host.details, std::vector<std::string>({std::strerror(EINVAL)}));
}

void WindowOperationsTest::hiddenEraseButtonQuickErasesTheHeader() {
    WindowTestKit kit;
    AddFormattedCard(kit);
    WriteBank(kit, 0, 128, 64);
    CTavrinDlg& window = kit.OpenWindow();
    QCOMPARE(Child<QComboBox>(&window, "diskList")->currentText(), QString("Disk0 [Tavrin]"));
    ProgressLog log(window, "eraseButton");
    kit.prompts.host.answers = {MsgAnswer::Yes};
    Button(window, "eraseButton")->click();
    QCOMPARE(kit.prompts.host.LastMessage(), std::string("Quick Erase Completed."));
    QCOMPARE(log.values, QList<int>({25, 50, 75, 100, 0}));
    QCOMPARE(log.buttonStates, QList<bool>({false, true}));
    QCOMPARE(Text(&window, "erasePercentLabel"), QString("0%"));
    QVERIFY(Button(window, "eraseButton")->isHidden());
    QCOMPARE(Child<QComboBox>(&window, "diskList")->currentText(), QString("Disk0"));
    QCOMPARE(Child<QComboBox>(&window, "bankList")->itemText(0), QString("1 (New)"));
}

void WindowOperationsTest::checkInfoShowsBankAndCurrentFiles() {
    WindowTestKit kit;
    AddFormattedCard(kit);
    const std::string a = kit.MakeRbf("Top.RBF", 4096, 7);
    const std::string c = kit.MakeRbf("third.rbf", 512, 8);
    CTavrinDlg& window = kit.OpenWindow();
    Field(window, 1)->setText(QString::fromStdString(a));
    ProgramBlankCard(kit, window);
    QCOMPARE(kit.prompts.host.LastMessage(), std::string("Program configuration completed."));
    kit.prompts.host.messages.clear();

    Field(window, 3)->setText(QString::fromStdString(c));
    QStringList seen;
    OnNextModal<CBankInfo>([&seen](CBankInfo* dialog) {
        for (const char* name : {"cardFileName1", "cardSize1", "cardFileName2", "currentFileName1", "currentFileName2",
                                 "currentFileName3", "currentSize3", "cardModeLabel", "currentModeLabel",
                                 "currentGroup", "cardHeadFileName"}) {
            seen << Text(dialog, name);
        }
        QCOMPARE(dialog->windowTitle(), QString("File Information"));
        Child<QPushButton>(dialog, "okButton")->click();
    });
    Button(window, "checkInfoButton")->click();
    QVERIFY(kit.prompts.host.messages.empty());
    QCOMPARE(seen, QStringList({"top.rbf", "4096", "", "top.rbf", "", "third.rbf", "512", "Serial Mode", "Serial Mode",
                                "Current Source Files", "File Name"}));
    QCOMPARE(kit.bankInfo.info.bankNumber, 1);
    QCOMPARE(Field(window, 3)->text(), QString::fromStdString(c));
}

void WindowOperationsTest::checkInfoInJapaneseKeepsTitleGroupAndOk() {
    WindowTestKit kit;
    AddFormattedCard(kit);
    const std::string a = kit.MakeRbf("p.rbf", 3000, 9);
    kit.WriteSettings("TAVRINDEFAULT.tvs", "Language=1\nParallel Mode=1\nFile Name1=" + a + "\nFile Name2=/gone.rbf\n");
    CTavrinDlg& window = kit.OpenWindow();
    ProgramBlankCard(kit, window);
    QCOMPARE(kit.prompts.host.LastMessage(), std::string("書き込み成功"));

    QStringList seen;
    OnNextModal<CBankInfo>([&seen](CBankInfo* dialog) {
        for (const char* name : {"cardGroup", "currentGroup", "cardHeadSize", "currentHeadTime", "cardModeLabel",
                                 "currentModeLabel", "okButton", "currentFileName2"}) {
            auto* button = Child<QPushButton>(dialog, name);
            seen << (button != nullptr ? button->text() : Text(dialog, name));
        }
        dialog->reject();
    });
    Button(window, "checkInfoButton")->click();
    QCOMPARE(seen, QStringList({"microSD", "現在のファイル", "サイズ", "変更時間", "パラレルモード", "パラレルモード", "OK", ""}));
}

void WindowOperationsTest::checkInfoOnABlankCardShowsNoDialog() {
    WindowTestKit kit;
    AddFormattedCard(kit);
    CTavrinDlg& window = kit.OpenWindow();
    Button(window, "checkInfoButton")->click();
    QCOMPARE(kit.prompts.host.MessageTexts(), std::vector<std::string>({"Selected disk is not Tavrin format."}));
    QVERIFY(!kit.bankInfo.isVisible());
}

void WindowOperationsTest::longFileNamesEndWithAnEllipsisAndShowInFullAsTooltips() {
    CBankInfo dialog;
    const QString rev1 = "processing_pipeline_with_long_name_rev1.bit", rev2 = "processing_pipeline_with_long_name_rev2.bit";
    dialog.info.cardFileName[0] = rev1.toStdString();
    dialog.info.currentFileName[0] = rev2.toStdString();
    dialog.info.currentFileName[1] = "top.bit";
    QStringList seen;
    OnNextModal<CBankInfo>([&seen](CBankInfo* shown) {
        for (const char* name : {"cardFileName1", "currentFileName1", "currentFileName2"}) {
            seen << Child<QLabel>(shown, name)->text() << Child<QLabel>(shown, name)->toolTip();
        }
    });
    dialog.DoModal(nullptr);
    QCOMPARE(seen.size(), 6);
    QVERIFY2(seen[0].endsWith(QChar(0x2026)) && rev1.startsWith(seen[0].chopped(1)), qPrintable(seen[0]));
    QCOMPARE(seen[1], rev1);
    QCOMPARE(seen[3], rev2);
    QCOMPARE(seen.mid(4), QStringList({"top.bit", ""}));
}

void WindowOperationsTest::theFocusStaysOnTheButtonThatStartedTheOperation() {
    WindowTestKit kit;
    AddFormattedCard(kit);
    CTavrinDlg& window = kit.OpenWindow();
    Field(window, 1)->setText(QString::fromStdString(kit.MakeRbf("A.rbf", 20000, 1)));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    Button(window, "programButton")->setFocus();
    ProgramBlankCard(kit, window);
    QCOMPARE(kit.prompts.host.LastMessage(), std::string("Program configuration completed."));
    QCOMPARE(QApplication::focusWidget(), Button(window, "programButton"));
}

void WindowOperationsTest::diskListIsRebuiltWhenItDropsDown() {
    WindowTestKit kit;
    CTavrinDlg& window = kit.OpenWindow();
    window.show();
    auto* list = Child<QComboBox>(&window, "diskList");
    QCOMPARE(list->count(), 0);
    AddFormattedCard(kit);
    WriteBank(kit, 0, 128, 64);
    list->showPopup();
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->itemText(0), QString("Disk0 [Tavrin]"));
    QCOMPARE(list->itemData(0).toInt(), 0);
    QVERIFY(!Child<BankBar>(&window, "bankBar")->BlockRect(0).isNull());
    list->hidePopup();
}

void WindowOperationsTest::bankBarScaleFollowsTheEndOfTheBanks() {
    struct Case {
        uint64_t sectors;
        std::vector<std::pair<uint32_t, uint32_t>> banks;
        QString scale;
        QRect first;
    };
    const std::vector<Case> cases = {
        {100000, {{128, 64}, {292, 320}}, "1%", QRect(29, 0, 14, 20)},
        {100000, {{128, 3200}}, "10%", QRect(2, 0, 73, 20)},
        {100000, {{128, 50000}}, "100%", QRect(0, 0, 115, 20)},
        {4194304, {{128, 32}}, "1%", QRect(0, 0, 2, 20)},
        {100000, {}, "1%", QRect()},
    };
    for (const Case& c : cases) {
        WindowTestKit kit;
        AddFormattedCard(kit, c.sectors);
        for (size_t i = 0; i < c.banks.size(); ++i) WriteBank(kit, int(i), c.banks[i].first, c.banks[i].second);
        CTavrinDlg& window = kit.OpenWindow();
        QCOMPARE(Text(&window, "scaleLabel"), c.scale);
        QCOMPARE(Child<BankBar>(&window, "bankBar")->BlockRect(0), c.first);
    }
    // A drive that cannot be opened: empty bar over the whole disk.
    WindowTestKit kit;
    AddFormattedCard(kit);
    kit.drives.RemoveNode("sdb");
    CTavrinDlg& window = kit.OpenWindow();
    QCOMPARE(Text(&window, "scaleLabel"), QString("100%"));
    QVERIFY(Child<BankBar>(&window, "bankBar")->BlockRect(0).isNull());
}

void WindowOperationsTest::bankBarDrawsSelectedGreenOthersBlue() {
    BankBar bar;
    BankTable banks;
    banks.bankPresent = {1, 1, 0, 0};
    BankBarGeometry geometry;
    geometry.scale = -1;
    geometry.x[0] = 10;
    geometry.width[0] = 40;
    geometry.x[1] = 100;
    geometry.width[1] = 2;
    bar.SetBanks(banks, geometry, 0);
    QImage image(bar.size(), QImage::Format_RGB32);
    bar.render(&image);
    QCOMPARE(image.size(), QSize(230, 20));
    QCOMPARE(image.pixelColor(5, 10), QColor(Qt::white));
    QCOMPARE(image.pixelColor(0, 10), QColor(Qt::black));
    QCOMPARE(image.pixelColor(229, 19), QColor(Qt::black));
    QCOMPARE(image.pixelColor(30, 10), QColor(0, 255, 0));
    QCOMPARE(image.pixelColor(10, 10), QColor(Qt::black));
    QCOMPARE(image.pixelColor(49, 10), QColor(Qt::black));
    QCOMPARE(image.pixelColor(50, 10), QColor(Qt::white));
    // A two-pixel block is all outline.
    QCOMPARE(image.pixelColor(100, 10), QColor(Qt::black));
    QCOMPARE(image.pixelColor(101, 10), QColor(Qt::black));
    QCOMPARE(image.pixelColor(102, 10), QColor(Qt::white));

    bar.SetBanks(banks, geometry, 1);
    bar.render(&image);
    QCOMPARE(image.pixelColor(30, 10), QColor(0, 0, 255));
    QCOMPARE(QString(BankBarScaleText(-1)) + BankBarScaleText(0) + BankBarScaleText(1), QString("1%10%100%"));
}

QTEST_MAIN(WindowOperationsTest)
#include "window_operations_test.moc"
