// Ciarlatronix.exe: the window over the core, on the one user-interface thread.
#include "MainWindow.h"
#include "WinStartup.h"
#include "phrases/Failure.h"

#include <commctrl.h>
#include <objbase.h>

namespace {

// The program's folder as the help names it; none when the system cannot say (the window's
// start-up then reports it, as it reports any file it cannot reach).
std::filesystem::path shownFolder()
{
    try {
        return winstartup::applicationFolder();
    } catch (const phrases::Failure &) {
        return {};
    }
}

// The command line, read before anything is shown; a line that cannot even be split is
// answered as one not understood.
commandline::Outcome readCommandLine()
{
    try {
        return commandline::parse(winstartup::arguments(), {winstartup::userFolder(), shownFolder()});
    } catch (const phrases::Failure &failure) {
        commandline::Outcome outcome;
        outcome.action = commandline::Outcome::Action::Error;
        outcome.text = std::string("ciarlatronix: the command line cannot be read: ") + failure.what() + "\n";
        outcome.exitStatus = 2;
        return outcome;
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    const commandline::Outcome line = readCommandLine();
    if (line.action != commandline::Outcome::Action::Run) {
        winstartup::answer(line);
        return line.exitStatus;
    }
    // The picture loader and the shell both want a single-threaded apartment.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    int status = 1;
    {
        Environment environment;
        environment.userFolder = winstartup::userFolder();
        environment.named = line.named;
        MainWindow window(instance, std::move(environment));
        if (window.open())
            status = window.run();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return status;
}
