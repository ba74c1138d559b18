#pragma once

namespace ciarlatronix {

// Starts the program: reads the command line, then the window, its start-up sequence and
// the event loop until the window is closed. Returns the exit status. --help, --version and
// a command line not understood are answered on the terminal, with no display needed.
int run(int argc, char **argv);

} // namespace ciarlatronix
