// Where the three files come from: the command line, the user's own folder, the program's
// folder; and the command line itself.
#include "Check.h"
#include "Fakes.h"

#include "app/CommandLine.h"
#include "app/DataFiles.h"

#include <tuple>

namespace fs = std::filesystem;
using commandline::Outcome;
using datafiles::Kind;

namespace {

fs::path fromHere(const char *name)
{
    return fs::current_path() / fs::u8path(name);
}

} // namespace

TEST_CASE("the command line: every option, \"--\", and each way of getting it wrong")
{
    using A = Outcome::Action;
    const fs::path user = "/casa/io/.config/ciarlatronix", program = "/opt/ciarla", none;
    const std::string absolute = (fs::current_path() / "io.jpg").u8string();
    // Arguments, action, the error (with 2 for its status), the files named (phrases, photo, tune).
    using Row = std::tuple<std::vector<std::string>, A, std::string, std::vector<fs::path>>;
    const std::string unknown = "unknown option ", unexpected = "unexpected argument ", needs = "' requires a file name",
                      noValue = "' doesn't allow an argument";
    const Row rows[] = {
        {{}, A::Run, "", {none, none, none}}, {{"--"}, A::Run, "", {none, none, none}},
        {{"--phrases", "mie.txt"}, A::Run, "", {fromHere("mie.txt"), none, none}},
        {{"--photo=" + absolute, "--tune", "../suono.wav"}, A::Run, "", {none, absolute, fromHere("../suono.wav")}},
        {{"--phrases", "a", "--phrases", "b"}, A::Run, "", {fromHere("b"), none, none}},
        {{"--phrases", "frasi d'\xC3\xA8state.txt"}, A::Run, "", {fromHere("frasi d'\xC3\xA8state.txt"), none, none}},
        // A file option takes the next argument, whatever it looks like, as getopt does.
        {{"--phrases", "--help"}, A::Run, "", {fromHere("--help"), none, none}},
        {{"--tune", "-"}, A::Run, "", {none, none, fromHere("-")}}, {{"--tune", "--"}, A::Run, "", {none, none, fromHere("--")}},
        {{"--version"}, A::Version, "", {}}, {{"--phrases", "x", "--version"}, A::Version, "", {}},
        {{"--help"}, A::Help, "", {}}, {{"-h"}, A::Help, "", {}}, {{"--version", "--help"}, A::Help, "", {}},
        {{"--frasi", "x"}, A::Error, unknown + "'--frasi'", {}}, {{"--phrases", "x", "-x"}, A::Error, unknown + "'-x'", {}},
        {{"--help", "--he"}, A::Error, unknown + "'--he'", {}}, {{"x"}, A::Error, unexpected + "'x'", {}},
        {{"-"}, A::Error, unexpected + "'-'", {}}, {{"--", "--help"}, A::Error, unexpected + "'--help'", {}},
        {{"--", "--"}, A::Error, unexpected + "'--'", {}}, {{"--phrases"}, A::Error, "option '--phrases" + needs, {}},
        {{"--photo="}, A::Error, "option '--photo" + needs, {}},
        {{"--tune", "x", "--photo"}, A::Error, "option '--photo" + needs, {}},
        {{"--phrases", ""}, A::Error, "option '--phrases" + needs, {}},
        {{"--help=yes"}, A::Error, "option '--help" + noValue, {}}, {{"--version=1"}, A::Error, "option '--version" + noValue, {}},
        {{"--help=true"}, A::Error, "option '--help" + noValue, {}}, {{"--version="}, A::Error, "option '--version" + noValue, {}},
        {{"-h=1"}, A::Error, "option '-h" + noValue, {}}, {{"--photo", "--help=1"}, A::Run, "", {none, fromHere("--help=1"), none}},
        {{"--frasi=x"}, A::Error, unknown + "'--frasi'", {}}, {{"/help"}, A::Error, unexpected + "'/help'", {}},
        {{"/phrases", "x"}, A::Error, unexpected + "'/phrases'", {}},
    };
    for (const auto &[arguments, action, error, named] : rows) {
        std::string name = "arguments:";
        for (const std::string &argument : arguments)
            name += " [" + argument + "]";
        const Outcome outcome = commandline::parse(arguments, {user, program});
        CHECK_EQ(outcome.action, action, name);
        CHECK_EQ(outcome.exitStatus, action == A::Error ? 2 : 0, name);
        if (action == A::Error)
            CHECK_EQ(outcome.text, "ciarlatronix: " + error + "\nTry 'ciarlatronix --help' for more information.\n", name);
        if (action == A::Version)
            CHECK_EQ(outcome.text, std::string("ciarlatronix 1.0.0.0\n"), name);
        for (std::size_t i = 0; action == A::Run && i < named.size(); ++i) // Windows takes ".." away at once
            CHECK_EQ(outcome.named[Kind(i)].lexically_normal(), named[i].lexically_normal(), name);
        // The usage first, then each option, then the folders in the order they are read.
        std::size_t at = outcome.text.rfind("Usage: ciarlatronix [OPTION]...\n", 0);
        const std::vector<std::string> parts{"--phrases FILE", "--photo FILE", "--tune FILE", "-h, --help",
                                             "--version", user.u8string() + "\n", program.u8string() + "\n"};
        for (const std::string &part : parts)
            at = at == std::string::npos ? at : outcome.text.find(part, at);
        CHECK_EQ(at != std::string::npos, action == A::Help, name + ": the help");
    }
    CHECK_EQ(commandline::parse({"--help"}, {none, program}).text.find("your own folder: none\n") != std::string::npos,
             true, "help without a user folder");
}

TEST_CASE("the user's own folder on Linux: XDG_CONFIG_HOME, else ~/.config")
{
    // XDG_CONFIG_HOME, HOME, the folder; a relative XDG_CONFIG_HOME is ignored.
    const std::tuple<const char *, const char *, fs::path> rows[] = {
        {"/x/conf", "/home/io", "/x/conf/ciarlatronix"}, {"/x/conf/", "/home/io", "/x/conf/ciarlatronix"},
        {"/x/conf", nullptr, "/x/conf/ciarlatronix"},    {"", "/home/io", "/home/io/.config/ciarlatronix"},
        {nullptr, "/home/io", "/home/io/.config/ciarlatronix"}, {"conf", "/home/io", "/home/io/.config/ciarlatronix"},
        {nullptr, nullptr, ""}, {"", "", ""},
    };
#ifndef _WIN32 // where "/x" is an absolute path
    for (const auto &[configHome, home, folder] : rows) {
        const std::string name = std::string(configHome ? configHome : "(unset)") + ", " + (home ? home : "(unset)");
        CHECK_EQ(datafiles::xdgUserFolder(configHome, home).lexically_normal(), folder.lexically_normal(), name);
    }
#endif
}

TEST_CASE("each file from the option, else the user's folder, else the program's folder")
{
    enum class Own { Missing, Good, Folder, Pipe, DanglingLink, Link };
    enum From { Named, User, Program };
    // Named on the command line, what the user's folder has, where the file comes from. A
    // name in the user's folder that is no plain file is taken all the same, to be reported.
    const std::tuple<bool, Own, From> rows[] = {
        {false, Own::Missing, Program}, {false, Own::Good, User}, {false, Own::Folder, User},
        {false, Own::Pipe, User},       {false, Own::DanglingLink, User}, {false, Own::Link, User},
        {true, Own::Good, Named},       {true, Own::Missing, Named},      {true, Own::Folder, Named},
    };
    for (const Kind kind : {Kind::Phrases, Kind::Photo, Kind::Tune}) {
        const char *file = datafiles::fileName(kind);
        for (const auto &[named, own, from] : rows) {
            TestFolder places[3]; // named, user, program
            std::error_code error;
            bool made = true;
            switch (own) {
            case Own::Missing: break;
            case Own::Good: places[User].write(file, "own"); break;
            case Own::Folder: fs::create_directory(places[User].file(file)); break;
            case Own::Pipe: made = places[User].makePipe(file); break;
            case Own::DanglingLink: fs::create_symlink(places[User].file("gone"), places[User].file(file), error); break;
            case Own::Link:
                places[Named].write(file, "elsewhere");
                fs::create_symlink(places[Named].file(file), places[User].file(file), error);
                break;
            }
            if (error || !made) // Windows has no pipes, and may not let a user make links
                continue;
            datafiles::NamedFiles files;
            if (named)
                files[kind] = places[Named].file(file);
            int asked = 0;
            const fs::path got = datafiles::choose(kind, files, places[User].path(), [&] { return ++asked, places[Program].path(); });
            const std::string name = std::string(file) + (named ? " named" : "") + ", own " + std::to_string(int(own));
            CHECK_EQ(got, places[from].file(file), name);
            CHECK_EQ(asked, int(from == Program), name + ": the program's folder asked");
        }
    }
    // No user folder at all, one that is not there, and one that is a plain file.
    TestFolder user, program;
    user.write("plain", "");
    const auto programFolder = [&] { return program.path(); };
    for (const fs::path &folder : {fs::path(), user.file("absent"), user.file("plain")})
        CHECK_EQ(datafiles::choose(Kind::Phrases, {}, folder, programFolder), program.file("cazzate.txt"), folder.u8string());
}
