#include "Application.h"

#include "PlatformChoice.h"
#include "frmCiarlatronix.h"

#include "common/ProgramInfo.h"
#include "ui/Artwork.h"

#include <QApplication>
#include <QIcon>

namespace ciarlatronix {

int run(int argc, char **argv)
{
    platformchoice::preferX11OnWayland();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(program::Title));
    QApplication::setApplicationDisplayName(QString::fromLatin1(program::Title));
    QApplication::setApplicationVersion(QString::fromLatin1(program::Version));
    QApplication::setDesktopFileName(QStringLiteral("ciarlatronix"));
    QApplication::setWindowIcon(QIcon(artwork::picture(QStringLiteral("icon"))));

    frmCiarlatronix window;
    window.Form_Load();
    window.show();
    return application.exec();
}

} // namespace ciarlatronix
