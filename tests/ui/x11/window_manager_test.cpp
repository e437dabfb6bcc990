// SPDX-License-Identifier: Apache-2.0
// The window and every dialog as people see them: on a real X server under openbox (see
// run-with-window-manager.sh), in both languages, with no title or text cut. Screenshots go to
// $TAVRIN_X11_SHOTS when it is set.
#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QWindow>
#include <QtTest>

#include "text/Texts.h"
#include "ui/CAboutDlg.h"
#include "ui/FileDialogs.h"
#include "ui/TavrinMessageBox.h"
#include "ui/TavrinStyle.h"
#include "ui/support/WindowTestKit.h"

using namespace tavrin;

namespace {

// The window with the frame the window manager put around it, as the X server has it now.
QRect Frame(QWidget* window) {
    return window->windowHandle()->frameGeometry();
}

// Waits until the window manager has framed the window and it has been drawn.
bool Framed(QWidget* window) {
    const bool framed = QTest::qWaitForWindowExposed(window) &&
                        QTest::qWaitFor([window] { return window->geometry().top() > Frame(window).top(); }, 5000);
    QTest::qWait(200);
    return framed;
}

void Shoot(QWidget* window, const QString& name) {
    const QString folder = qEnvironmentVariable("TAVRIN_X11_SHOTS");
    if (folder.isEmpty() || !QDir().mkpath(folder)) return;
    // Drawn before it is grabbed: a box that has only just come up may not have been yet.
    window->repaint();
    QTest::qWait(100);
    const QRect frame = Frame(window);
    QGuiApplication::primaryScreen()
        ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
        .save(QDir(folder).filePath(name + ".png"));
}

// The title in openbox's title font (set by the runner: 10 points at the X server's 96 dpi)
// beside the icon, up to three buttons and their padding: in all about six times as wide as
// the title bar is high (measured on openbox's titles cut today).
void ExpectTitleFits(QWidget* window, const QString& name) {
    QVERIFY2(Framed(window), qPrintable(name + ": not framed"));
    const int bar = window->geometry().top() - Frame(window).top();
    QFont font("DejaVu Sans");
    font.setPixelSize(10 * 96 / 72 + 1);
    font.setBold(true);
    const int text = QFontMetrics(font).horizontalAdvance(window->windowTitle());
    const int room = Frame(window).width() - 6 * bar;
    QVERIFY2(text <= room, qPrintable(QString("%1: title needs %2 px, has %3").arg(name).arg(text).arg(room)));
}

// Every visible label, button and group title is at least as wide as its text asks.
void ExpectTextsFit(QWidget* window, const QString& name) {
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisible()) continue;
        QString text;
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (label->wordWrap()) continue;
            text = label->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            text = button->text();
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            text = group->title();
        }
        if (text.isEmpty()) continue;
        const int needed = std::max(widget->minimumSizeHint().width(), 0);
        QVERIFY2(widget->width() >= needed, qPrintable(QString("%1: \"%2\" needs %3 px, has %4")
                                                           .arg(name, text)
                                                           .arg(needed)
                                                           .arg(widget->width())));
    }
}

void Check(QWidget* window, const QString& name) {
    // A message box's title is the program's name, here the test's own.
    if (qobject_cast<QMessageBox*>(window) == nullptr) ExpectTitleFits(window, name);
    ExpectTextsFit(window, name);
    Shoot(window, name);
}

template <typename T>
void CheckNextModal(const QString& name) {
    OnNextModal<T>([name](T* dialog) { Check(dialog, name); });
}

void FillBankInfo(BankInfoData& info, int language) {
    info.dialogLanguage = language;
    info.bankNumber = 1;
    info.cardParallelMode = 1;
    const char* names[2] = {"processing_pipeline_with_long_name_rev1.bit", "processing_pipeline_with_long_name_rev2.bit"};
    for (int row = 0; row < 2; ++row) {
        info.cardFileName[row] = info.currentFileName[row] = names[row];
        info.cardSize[row] = info.currentSize[row] = "1234567";
        info.cardDate[row] = info.currentDate[row] = "2026/12/07";
        info.cardTime[row] = info.currentTime[row] = "23:59:59";
    }
}

}  // namespace

class WindowManagerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void everyWindowShowsItsTitleAndTextsWhole_data();
    void everyWindowShowsItsTitleAndTextsWhole();
    void hardwareSettingsOpensWhereItOpenedFirst();
};

void WindowManagerTest::initTestCase() {
    if (qEnvironmentVariableIsSet("TAVRIN_X11_SKIP")) QSKIP(qPrintable(qEnvironmentVariable("TAVRIN_X11_SKIP")));
    if (QGuiApplication::platformName() != "xcb") QSKIP("needs an X server: run it through run-with-window-manager.sh");
    QApplication::setStyle(new TavrinStyle);
}

void WindowManagerTest::everyWindowShowsItsTitleAndTextsWhole_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("en") << 0;
    QTest::newRow("ja") << 1;
}

void WindowManagerTest::everyWindowShowsItsTitleAndTextsWhole() {
    QFETCH(int, language);
    const QString suffix = language != 0 ? "-ja" : "-en";
    WindowTestKit kit;
    kit.WriteSettings("TAVRINDEFAULT.tvs", "Language=" + std::to_string(language) + "\n");
    CTavrinDlg& window = kit.OpenWindow();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Check(&window, "main" + suffix);

    CheckNextModal<CHardwareSettings>("hardware-settings" + suffix);
    window.OnHardwareSettings();
    CheckNextModal<COperationSettings>("operation-settings" + suffix);
    window.OnOperationSettings();
    FillBankInfo(kit.bankInfo.info, language);
    CheckNextModal<CBankInfo>("file-information" + suffix);
    kit.bankInfo.DoModal(&window);
    CheckNextModal<CAboutDlg>("about" + suffix);
    window.OnAbout();
    CheckNextModal<QMessageBox>("message" + suffix);
    ShowTavrinMessage(&window, LocalText(language, texts::kInitializationQuestion), MsgButtons::YesNo,
                      MsgIcon::Question);
    OnNextModal<QFileDialog>([suffix](QFileDialog* dialog) {
        ExpectTitleFits(dialog, "save-settings" + suffix);
        Shoot(dialog, "save-settings" + suffix);
    });
    MakeFileDialog(&window, FileDialogKind::SaveSettings)->exec();
}

void WindowManagerTest::hardwareSettingsOpensWhereItOpenedFirst() {
    WindowTestKit kit;
    CTavrinDlg& window = kit.OpenWindow();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(Framed(&window));
    std::vector<QRect> places;
    for (int opening = 0; opening < 2; ++opening) {
        OnNextModal<CHardwareSettings>([&places](CHardwareSettings* dialog) {
            QVERIFY(Framed(dialog));
            places.push_back(Frame(dialog));
        });
        window.OnHardwareSettings();
    }
    QCOMPARE(places.size(), size_t(2));
    QCOMPARE(places[1], places[0]);
}

QTEST_MAIN(WindowManagerTest)
#include "window_manager_test.moc"
