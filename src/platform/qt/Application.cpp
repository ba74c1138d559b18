#include "Application.h"

#include "Artwork.h"
#include "MainWindow.h"
#include "PlatformChoice.h"
#include "common/ProgramInfo.h"

#include <QApplication>
#include <QIcon>

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

} // namespace

int run(char *programName)
{
    platformchoice::preferX11OnWayland();
    std::thread fontconfig = startFontconfig();
    // The program reads no command line: the toolkit gets none of it either.
    int argc = 1;
    char *argv[] = {programName, nullptr};
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(program::Title));
    QApplication::setApplicationDisplayName(QString::fromLatin1(program::Title));
    QApplication::setApplicationVersion(QString::fromLatin1(program::Version));
    QApplication::setDesktopFileName(QStringLiteral("ciarlatronix"));
    QApplication::setWindowIcon(QIcon(artwork::picture(QStringLiteral("icon"))));

    if (fontconfig.joinable())
        fontconfig.join();
    MainWindow window;
    window.form().Form_Load();
    window.show();
    return application.exec();
}

} // namespace ciarlatronix
