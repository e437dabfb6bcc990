// SPDX-License-Identifier: Apache-2.0
#include "ui/TavrinApp.h"

int main(int argc, char** argv) {
    CTavrinApp app(argc, argv);
    return app.InitInstance();
}
