#pragma once

#include "app/CommandLine.h"

#include <filesystem>
#include <string>
#include <vector>

// What the program learns before its window: its command line and its folders.
namespace winstartup {

// The arguments after the program's own name, in UTF-8, split as CommandLineToArgvW splits
// them. Throws phrases::Failure in the system's words when the line cannot be split.
std::vector<std::string> arguments();

// The folder of Ciarlatronix.exe. Throws phrases::Failure in the system's words.
std::filesystem::path applicationFolder();

// %APPDATA%\Ciarlatronix; empty without APPDATA.
std::filesystem::path userFolder();

// Shows the text of --help, --version or a command line not understood: in a box, and also
// on the console the program was started from, or wherever its output was sent.
void answer(const commandline::Outcome &outcome);

} // namespace winstartup
