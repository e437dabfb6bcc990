// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QApplication>

#include "ui/CBankInfo.h"
#include "ui/CHardwareSettings.h"
#include "ui/COperationSettings.h"
#include "ui/UserPrompts.h"

namespace tavrin {

// The application: the Qt application object first, then the process-wide dialog objects in
// the order they must exist; they go in the reverse order when it ends.
class CTavrinApp {
public:
    CTavrinApp(int& argc, char** argv);

    // Runs the whole life of the tool: the single-instance check and the main window. Returns
    // the process's exit code.
    int InitInstance();

private:
    QApplication application_;
    QtPrompts prompts_;
    COperationSettings operationSettings_;
    CHardwareSettings hardwareSettings_;
    CBankInfo bankInfo_;
};

}  // namespace tavrin
