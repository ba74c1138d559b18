#include "Application.h"

#include "Artwork.h"
#include "MainWindow.h"
#include "PlatformChoice.h"
#include "app/CommandLine.h"
#include "common/ProgramInfo.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <thread>

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
#include <dlfcn.h>
#endif

namespace ciarlatronix {
namespace {

// Fontconfig reads some fifty configuration files the first time text is laid out, a few
// milliseconds on the way to the first show. It is thread-safe: start it on another core while
// the toolkit connects to the display. It is reached through the loader because it comes in with
// Qt's GUI library rather than being linked by name.
std::thread startFontconfig()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    using Init = int (*)();
    if (const auto init = reinterpret_cast<Init>(dlsym(RTLD_DEFAULT, "FcInit")))
        return std::thread(init);
#endif
    return {};
}

// The folder of the running executable, links resolved, as the toolkit would report it.
std::filesystem::path programFolder(const char *programName)
{
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        self = std::filesystem::absolute(programName, error);
    return self.parent_path();
}

std::filesystem::path userFolder()
{
    return datafiles::xdgUserFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

} // namespace

int run(int argc, char **argv)
{
    char *programName = argv[0];
    const commandline::Outcome line =
        commandline::parse({argv + 1, argv + argc}, {userFolder(), programFolder(programName)});
    if (line.action != commandline::Outcome::Action::Run) {
        std::FILE *out = line.action == commandline::Outcome::Action::Error ? stderr : stdout;
        // "--help >/dev/full" has not shown the help.
        if (std::fputs(line.text.c_str(), out) < 0 || std::fflush(out) != 0)
            return 1;
        return line.exitStatus;
    }

    platformchoice::preferX11OnWayland();
    std::thread fontconfig = startFontconfig();
    // The command line is the program's own: the toolkit gets none of it.
    int toolkitArgc = 1;
    char *toolkitArgv[] = {programName, nullptr};
    QApplication application(toolkitArgc, toolkitArgv);
    QApplication::setApplicationName(QString::fromLatin1(program::Title));
    QApplication::setApplicationDisplayName(QString::fromLatin1(program::Title));
    QApplication::setApplicationVersion(QString::fromLatin1(program::Version));
    QApplication::setDesktopFileName(QStringLiteral("ciarlatronix"));
    QApplication::setWindowIcon(QIcon(artwork::picture(QStringLiteral("icon"))));

    if (fontconfig.joinable())
        fontconfig.join();
    Environment environment;
    environment.userFolder = userFolder();
    environment.named = line.named;
    MainWindow window(std::move(environment));
    window.form().Form_Load();
    window.show();
    return application.exec();
}

} // namespace ciarlatronix
