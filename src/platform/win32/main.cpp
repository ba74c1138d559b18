// Ciarlatronix.exe: the window over the core, on the one user-interface thread.
#include "MainWindow.h"

#include <commctrl.h>
#include <objbase.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // The picture loader and the shell both want a single-threaded apartment.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    int status = 1;
    {
        MainWindow window(instance);
        if (window.open())
            status = window.run();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return status;
}
