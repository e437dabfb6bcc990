// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QApplication>
#include <QDialog>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/FakeDriveTree.h"
#include "support/ScratchFolder.h"
#include "ui/CBankInfo.h"
#include "ui/CHardwareSettings.h"
#include "ui/COperationSettings.h"
#include "ui/CTavrinDlg.h"
#include "ui/support/ScriptedPrompts.h"

namespace tavrin {

// What a window test needs, made in the order the application makes it: an empty fake drive
// tree, a scratch start-up folder as the current directory, scripted prompts and the
// process-wide dialog objects. The main window is opened on request.
class WindowTestKit {
public:
    WindowTestKit();
    ~WindowTestKit();

    FakeDriveTree drives;
    ScratchFolder folder;
    ScriptedPrompts prompts;
    COperationSettings operationSettings;
    CHardwareSettings hardwareSettings{prompts};
    CBankInfo bankInfo;

    CTavrinDlg& OpenWindow();
    CTavrinDlg& Window() { return *window_; }

    std::string DefaultSettingsPath() const;
    // Writes a settings file in the start-up folder ("[Settings]" is put first).
    std::string WriteSettings(const std::string& name, const std::string& keyLines) const;
    std::string ReadFile(const std::string& path) const;
    // A removable SD card of the given size; returns its drive number.
    int AddCard(const std::string& name, uint64_t sectors);
    // Configuration files with deterministic contents.
    std::string MakeRbf(const std::string& name, size_t bytes, uint8_t seed) const;
    std::string MakeBit(const std::string& name, size_t dataBytes, uint8_t seed) const;

    // The window's texts as the user sees them.
    QStringList MenuTexts(const char* menuName) const;

private:
    QString savedDirectory_;
    std::unique_ptr<CTavrinDlg> window_;
};

template <typename T>
T* Child(QObject* root, const char* objectName) {
    return root->findChild<T*>(QString::fromLatin1(objectName));
}

// Runs `action` on the next modal dialog of type T as soon as it shows, from inside its own
// event loop. A dialog the action leaves open (a failed check returns early) is rejected.
template <typename T>
void OnNextModal(std::function<void(T*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        T* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        action(dialog);
        if (dialog->isVisible()) dialog->reject();
    });
    timer->start();
}

}  // namespace tavrin
