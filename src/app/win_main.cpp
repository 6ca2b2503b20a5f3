// Entry point of the desktop program Kw39PCAConv.exe.
#include <windows.h>

#include "app/application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    kw39::app::CKw39PCAConvApp app;
    return app.Run(GetCommandLineW());
}
