// SPDX-License-Identifier: Apache-2.0
#include "ui/CTavrinApp.h"

#include "ui/Artwork.h"
#include "ui/CTavrinDlg.h"
#include "ui/SingleInstance.h"
#include "ui/TavrinStyle.h"

namespace tavrin {

CTavrinApp::CTavrinApp(int& argc, char** argv) : application_(argc, argv), hardwareSettings_(prompts_) {
    QApplication::setDesktopFileName("org.tavrin.Tavrin");
    QApplication::setStyle(new TavrinStyle);
    QApplication::setWindowIcon(ApplicationIcon());
}

int CTavrinApp::InitInstance() {
    SingleInstance instance;
    if (!instance.TryBecomeFirst()) {
        instance.AskFirstToRaise();
        return 0;
    }
    QObject::connect(&instance, &SingleInstance::raiseRequested, &RaiseTavrinWindow);
    CTavrinDlg window(operationSettings_, hardwareSettings_, bankInfo_, prompts_);
    window.exec();
    return 0;
}

}  // namespace tavrin
