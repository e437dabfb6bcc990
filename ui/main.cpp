#include "ui/TavrinApp.h"

int main(int argc, char** argv) {
    CTavrinApp app(argc, argv);
    return app.InitInstance();
}
