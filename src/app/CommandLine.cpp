#include "CommandLine.h"

#include "common/ProgramInfo.h"

#include <CLI/CLI.hpp>

#include <system_error>

namespace commandline {
namespace {

constexpr char Name[] = "ciarlatronix";

struct FileOption
{
    const char *name;
    datafiles::Kind kind;
};
constexpr FileOption FileOptions[] = {
    {"--phrases", datafiles::Kind::Phrases},
    {"--photo", datafiles::Kind::Photo},
    {"--tune", datafiles::Kind::Tune},
};

std::string shown(const std::filesystem::path &folder)
{
    return folder.empty() ? std::string("none") : folder.u8string();
}

std::string helpText(const Folders &folders)
{
    return std::string("Usage: ") + Name + " [OPTION]...\n"
           "A photo with a speech balloon, and in it a phrase picked at random;\n"
           "a click on the photo, the balloon or the phrase picks another.\n"
           "\n"
           "Options:\n"
           "  --phrases FILE  the phrases, one a line, instead of cazzate.txt\n"
           "  --photo FILE    the photo, a JPEG, instead of foto.jpg\n"
           "  --tune FILE     the tune played at start-up, a WAV, instead of audio.wav\n"
           "  -h, --help      show this help and exit\n"
           "  --version       show the version and exit\n"
           "\n"
           "Each of cazzate.txt, foto.jpg and audio.wav is read from the first of:\n"
           "  1. the file named by its option (a relative name from the current folder);\n"
           "  2. your own folder: " + shown(folders.user) + "\n"
           "  3. the program's folder: " + shown(folders.program) + "\n";
}

Outcome failure(const std::string &what)
{
    Outcome outcome;
    outcome.action = Outcome::Action::Error;
    outcome.text = std::string(Name) + ": " + what + "\nTry '" + Name + " --help' for more information.\n";
    outcome.exitStatus = 2;
    return outcome;
}

std::string quoted(const std::string &text)
{
    return "'" + text + "'";
}

// What the parser leaves over: the first is named. "--" itself ends the options and is no
// argument; anything after it is one.
Outcome leftOver(const std::vector<std::string> &remaining)
{
    bool optionsEnded = false;
    for (const std::string &argument : remaining) {
        if (argument == "--" && !optionsEnded) {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && argument.size() > 1 && argument[0] == '-')
            return failure("unknown option " + quoted(argument.substr(0, argument.find('='))));
        return failure("unexpected argument " + quoted(argument));
    }
    return {};
}

bool isFileOption(const std::string &argument)
{
    for (const FileOption &option : FileOptions)
        if (argument == option.name)
            return true;
    return false;
}

// A flag given a value ("--help=no", "-h=1"), which the parser would take or misname; the
// word after a file option is its file, whatever it looks like.
Outcome flagWithValue(const std::vector<std::string> &arguments)
{
    for (std::size_t i = 0; i < arguments.size() && arguments[i] != "--"; ++i) {
        const std::string name = arguments[i].substr(0, arguments[i].find('='));
        if (isFileOption(arguments[i]))
            ++i;
        else if (name.size() < arguments[i].size() && (name == "--help" || name == "--version" || name == "-h"))
            return failure("option " + quoted(name) + " doesn't allow an argument");
    }
    return {};
}

// What the parser refused, named from the arguments themselves: a file option with no file
// after it (last, or as "--photo=").
Outcome refused(const std::vector<std::string> &arguments, const std::string &parserReport)
{
    for (std::size_t i = 0; i < arguments.size() && arguments[i] != "--"; ++i) {
        const std::string &argument = arguments[i];
        const std::string name = argument.substr(0, argument.find('='));
        if ((isFileOption(argument) && i + 1 == arguments.size()) || (isFileOption(name) && name.size() + 1 == argument.size()))
            return failure("option " + quoted(name) + " requires a file name");
        if (isFileOption(argument))
            ++i;
    }
    return failure(parserReport);
}

std::filesystem::path fromCurrentFolder(const std::string &argument)
{
    const std::filesystem::path path = std::filesystem::u8path(argument);
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute;
}

} // namespace

Outcome parse(const std::vector<std::string> &arguments, const Folders &folders)
{
    if (Outcome flag = flagWithValue(arguments); flag.action == Outcome::Action::Error)
        return flag;
    CLI::App app;
    app.set_help_flag();
    app.allow_extras();
    // "/help" is an argument like any other, on Windows as on Linux.
    app.allow_windows_style_options(false);
    std::string files[std::size(FileOptions)];
    for (std::size_t i = 0; i < std::size(FileOptions); ++i)
        app.add_option(FileOptions[i].name, files[i])->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    bool help = false, version = false;
    app.add_flag("-h,--help", help);
    app.add_flag("--version", version);

    // The parser takes its arguments last first.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError &error) {
        return refused(arguments, error.what());
    }
    if (Outcome left = leftOver(app.remaining()); left.action == Outcome::Action::Error)
        return left;

    Outcome outcome;
    if (help) {
        outcome.action = Outcome::Action::Help;
        outcome.text = helpText(folders);
        return outcome;
    }
    if (version) {
        outcome.action = Outcome::Action::Version;
        outcome.text = std::string(Name) + " " + program::Version + "\n";
        return outcome;
    }
    for (std::size_t i = 0; i < std::size(FileOptions); ++i) {
        if (files[i].empty() && app.count(FileOptions[i].name) > 0)
            return failure("option " + quoted(FileOptions[i].name) + " requires a file name");
        if (!files[i].empty())
            outcome.named[FileOptions[i].kind] = fromCurrentFolder(files[i]);
    }
    return outcome;
}

} // namespace commandline
