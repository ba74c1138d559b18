#include "PlatformChoice.h"

#include <QtGlobal>

namespace platformchoice {

bool shouldUseX11(const QByteArray &chosenPlatform, const QByteArray &waylandDisplay,
                  const QByteArray &sessionType, const QByteArray &x11Display)
{
    const bool onWayland = !waylandDisplay.isEmpty() || sessionType == "wayland";
    return chosenPlatform.isEmpty() && onWayland && !x11Display.isEmpty();
}

void preferX11OnWayland()
{
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    if (shouldUseX11(qgetenv("QT_QPA_PLATFORM"), qgetenv("WAYLAND_DISPLAY"), qgetenv("XDG_SESSION_TYPE"),
                     qgetenv("DISPLAY")))
        qputenv("QT_QPA_PLATFORM", "xcb");
#endif
}

} // namespace platformchoice
