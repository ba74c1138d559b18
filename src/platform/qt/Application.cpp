#include "Application.h"

#include "Artwork.h"
#include "MainWindow.h"
#include "PlatformChoice.h"
#include "common/ProgramInfo.h"

#include <QApplication>
#include <QIcon>

namespace ciarlatronix {

int run(char *programName)
{
    platformchoice::preferX11OnWayland();
    // The program reads no command line: the toolkit gets none of it either.
    int argc = 1;
    char *argv[] = {programName, nullptr};
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(program::Title));
    QApplication::setApplicationDisplayName(QString::fromLatin1(program::Title));
    QApplication::setApplicationVersion(QString::fromLatin1(program::Version));
    QApplication::setDesktopFileName(QStringLiteral("ciarlatronix"));
    QApplication::setWindowIcon(QIcon(artwork::picture(QStringLiteral("icon"))));

    MainWindow window;
    window.form().Form_Load();
    window.show();
    return application.exec();
}

} // namespace ciarlatronix
