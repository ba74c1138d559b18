#pragma once

namespace ciarlatronix {

// Starts the program: the window, its start-up sequence, then the event loop until the
// window is closed. Returns the exit status. Arguments are not read.
int run(char *programName);

} // namespace ciarlatronix
