// SPDX-License-Identifier: Apache-2.0
// Renders the main window (English and Japanese, a programmed card selected), both settings
// dialogs, the File Information dialog and the About box to PNG files in the folder given.
// Runs on any Qt platform; scripts/screenshots.sh runs it offscreen.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>

#include "ui/CAboutDlg.h"
#include "ui/TavrinStyle.h"
#include "ui/support/WindowTestKit.h"

using namespace tavrin;

namespace {

QDir output;
int failures = 0;

void Save(QWidget* widget, const QString& name) {
    const QString path = output.filePath(name + ".png");
    if (widget->grab().save(path, "PNG")) {
        std::printf("%s\n", qPrintable(path));
    } else {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        ++failures;
    }
}

template <typename T>
void SaveNextModal(const QString& name) {
    OnNextModal<T>([name](T* dialog) {
        Save(dialog, name);
        dialog->reject();
    });
}

// A 2 GB card in the reader.
void InsertCard(WindowTestKit& kit) {
    constexpr uint64_t kSectors = 3906250;
    kit.AddCard("sdb", kSectors);
    kit.drives.AddPartition("sdb", 1, 8192, kSectors - 8192);
}

// Programs four files, as a user would in a first session.
void ProgramCard(WindowTestKit& kit, CTavrinDlg& window) {
    const std::vector<std::string> names = {
        kit.MakeBit("blinky_top.bit", 340000, 1), kit.MakeRbf("uart_loop.rbf", 290000, 2),
        kit.MakeBit("dsp_filter.bit", 360000, 3), kit.MakeRbf("selftest.rbf", 120000, 4)};
    for (size_t i = 0; i < names.size(); ++i) {
        window.findChild<QLineEdit*>(QString("fileEdit%1").arg(i + 1))->setText(QString::fromStdString(names[i]));
    }
    window.findChild<QCheckBox*>("initializeDiskCheck")->setChecked(true);
    kit.prompts.host.answers = {MsgAnswer::Yes};
    window.OnProgram();
}

void ShowAll(WindowTestKit& kit, CTavrinDlg& window, const QString& language) {
    Save(&window, "main-" + language);
    SaveNextModal<CHardwareSettings>("hardware-settings-" + language);
    window.OnHardwareSettings();
    SaveNextModal<COperationSettings>("operation-settings-" + language);
    window.OnOperationSettings();
    SaveNextModal<CBankInfo>("file-information-" + language);
    window.OnCheckInfo();
    (void)kit;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setStyle(new TavrinStyle);
    // Absolute: the window opens in a scratch start-up folder.
    output.setPath(QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : "screenshots").absolutePath());
    if (!output.mkpath(".")) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(output.path()));
        return 1;
    }

    WindowTestKit kit;
    InsertCard(kit);
    CTavrinDlg& window = kit.OpenWindow();
    ProgramCard(kit, window);
    window.show();
    QApplication::processEvents();
    ShowAll(kit, window, "en");

    kit.operationSettings.settings.language = 1;
    window.ApplyLanguage();
    window.BuildToolTips();
    QApplication::processEvents();
    ShowAll(kit, window, "ja");

    SaveNextModal<CAboutDlg>("about");
    window.OnAbout();
    if (!kit.prompts.host.messages.empty() && kit.prompts.host.messages.front().icon == MsgIcon::Error) {
        std::fprintf(stderr, "programming the card failed: %s\n", kit.prompts.host.messages.front().text.c_str());
        return 1;
    }
    return failures == 0 ? 0 : 1;
}
