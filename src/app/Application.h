#pragma once

namespace ciarlatronix {

// Starts the program: the window, its start-up sequence, then the event loop until the
// window is closed. Returns the exit status.
int run(int argc, char **argv);

} // namespace ciarlatronix
