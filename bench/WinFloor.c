/* The least a Windows program can do to look like Ciarlatronix at start-up: start the same
 * tune with sndPlaySoundA, then show an empty frameless window of the same size, centred.
 * The Wine start-up benchmark measures against it. A click ends it. */
#include <windows.h>
#include <mmsystem.h>

static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONUP:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    char path[MAX_PATH + 16];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    WNDCLASSA windowClass = {0};
    HWND window;
    MSG message;
    (void)previous;
    (void)commandLine;
    (void)show;

    while (length > 0 && path[length - 1] != '\\')
        --length;
    lstrcpyA(path + length, "audio.wav");
    sndPlaySoundA(path, SND_ASYNC | SND_NODEFAULT);

    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "WinFloor";
    RegisterClassA(&windowClass);
    window = CreateWindowExA(WS_EX_APPWINDOW, "WinFloor", "", WS_POPUP,
                             (GetSystemMetrics(SM_CXSCREEN) - 550) / 2, (GetSystemMetrics(SM_CYSCREEN) - 304) / 2,
                             550, 304, NULL, NULL, instance, NULL);
    ShowWindow(window, SW_SHOW);
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
