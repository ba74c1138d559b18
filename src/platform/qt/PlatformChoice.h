#pragma once

#include <QByteArray>

namespace platformchoice {

// A Wayland compositor does not let a program place its own window, and this one opens
// centred; so where the user has not chosen a platform, run on X11 through XWayland.
bool shouldUseX11(const QByteArray &chosenPlatform, const QByteArray &waylandDisplay,
                  const QByteArray &sessionType, const QByteArray &x11Display);

// Applies the choice above to this process's environment, before Qt starts.
void preferX11OnWayland();

} // namespace platformchoice
