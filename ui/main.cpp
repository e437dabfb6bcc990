// SPDX-License-Identifier: Apache-2.0
#include "ui/CTavrinApp.h"
#include "ui/WindowCommandLine.h"

using namespace tavrin;

int main(int argc, char** argv) {
    if (const auto status = AnswerWindowCommandLine(argc, argv)) return *status;
    CTavrinApp app(argc, argv);
    return app.InitInstance();
}
