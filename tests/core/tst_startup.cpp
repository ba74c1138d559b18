// Where the three files come from: the command line, the user's own folder, the program's
// folder; and the command line itself.
#include "Check.h"
#include "Fakes.h"

#include "app/CommandLine.h"
#include "app/DataFiles.h"
#include "app/frmCiarlatronix.h"

#include <tuple>

namespace fs = std::filesystem;
using commandline::Outcome;
using datafiles::Kind;

namespace {

const std::string Try = "Try 'ciarlatronix --help' for more information.\n";

fs::path fromHere(const char *name)
{
    return fs::current_path() / fs::u8path(name);
}

} // namespace

TEST_CASE("the command line: every option, \"--\", and each way of getting it wrong")
{
    using A = Outcome::Action;
    const commandline::Folders folders{fs::u8path("/casa/io/.config/ciarlatronix"), fs::u8path("/opt/ciarla")};
    // Arguments, action, status, the error's first line, the files named (phrases, photo, tune).
    using Row = std::tuple<std::vector<std::string>, A, int, std::string, std::vector<fs::path>>;
    const Row rows[] = {
        {{}, A::Run, 0, "", {{}, {}, {}}},
        {{"--"}, A::Run, 0, "", {{}, {}, {}}},
        {{"--phrases", "mie.txt"}, A::Run, 0, "", {fromHere("mie.txt"), {}, {}}},
        {{"--photo=/srv/io.jpg", "--tune", "../suono.wav"}, A::Run, 0, "", {{}, "/srv/io.jpg", fromHere("../suono.wav")}},
        {{"--phrases", "a", "--phrases", "b"}, A::Run, 0, "", {fromHere("b"), {}, {}}},
        {{"--phrases", "frasi d'\xC3\xA8state.txt"}, A::Run, 0, "", {fromHere("frasi d'\xC3\xA8state.txt"), {}, {}}},
        // A file option takes the next argument, whatever it looks like, as getopt does.
        {{"--phrases", "--help"}, A::Run, 0, "", {fromHere("--help"), {}, {}}},
        {{"--tune", "-"}, A::Run, 0, "", {{}, {}, fromHere("-")}},
        {{"--tune", "--"}, A::Run, 0, "", {{}, {}, fromHere("--")}},
        {{"--version"}, A::Version, 0, "", {}},
        {{"--phrases", "x", "--version"}, A::Version, 0, "", {}},
        {{"--help"}, A::Help, 0, "", {}},
        {{"-h"}, A::Help, 0, "", {}},
        {{"--version", "--help"}, A::Help, 0, "", {}},
        {{"--frasi", "x"}, A::Error, 2, "ciarlatronix: unknown option '--frasi'", {}},
        {{"--phrases", "x", "-x"}, A::Error, 2, "ciarlatronix: unknown option '-x'", {}},
        {{"--help", "--he"}, A::Error, 2, "ciarlatronix: unknown option '--he'", {}},
        {{"x"}, A::Error, 2, "ciarlatronix: unexpected argument 'x'", {}},
        {{"-"}, A::Error, 2, "ciarlatronix: unexpected argument '-'", {}},
        {{"--", "--help"}, A::Error, 2, "ciarlatronix: unexpected argument '--help'", {}},
        {{"--", "--"}, A::Error, 2, "ciarlatronix: unexpected argument '--'", {}},
        {{"--phrases"}, A::Error, 2, "ciarlatronix: option '--phrases' requires a file name", {}},
        {{"--photo="}, A::Error, 2, "ciarlatronix: option '--photo' requires a file name", {}},
        {{"--tune", "x", "--photo"}, A::Error, 2, "ciarlatronix: option '--photo' requires a file name", {}},
        {{"--phrases", ""}, A::Error, 2, "ciarlatronix: option '--phrases' requires a file name", {}},
        {{"--help=yes"}, A::Error, 2, "ciarlatronix: option '--help' doesn't allow an argument", {}},
        {{"--version=1"}, A::Error, 2, "ciarlatronix: option '--version' doesn't allow an argument", {}},
    };
    for (const auto &[arguments, action, status, error, named] : rows) {
        std::string name = "arguments:";
        for (const std::string &argument : arguments)
            name += " [" + argument + "]";
        const Outcome outcome = commandline::parse(arguments, folders);
        CHECK_EQ(outcome.action, action, name);
        CHECK_EQ(outcome.exitStatus, status, name);
        if (action == A::Error)
            CHECK_EQ(outcome.text, error + "\n" + Try, name);
        if (action == A::Version)
            CHECK_EQ(outcome.text, std::string("ciarlatronix 1.0.0.0\n"), name);
        if (action == A::Help) {
            CHECK_EQ(outcome.text.rfind("Usage: ciarlatronix [OPTION]...\n", 0), std::size_t{0}, name);
            // Each option, and the folders in the order they are read.
            std::size_t at = 0;
            for (const char *part : {"--phrases FILE", "--photo FILE", "--tune FILE", "-h, --help", "--version",
                                     "/casa/io/.config/ciarlatronix\n", "/opt/ciarla\n"}) {
                at = outcome.text.find(part, at);
                CHECK_EQ(at != std::string::npos, true, name + ": " + part);
            }
        }
        if (action == A::Run) {
            const std::vector<fs::path> got{outcome.named.phrases, outcome.named.photo, outcome.named.tune};
            CHECK_EQ(got, named, name);
        }
    }
    // No user folder, as with no home: the help says so.
    const std::string help = commandline::parse({"--help"}, {{}, "/opt/ciarla"}).text;
    CHECK_EQ(help.find("your own folder: none\n") != std::string::npos, true, "help without a user folder");
}

TEST_CASE("the user's own folder: XDG_CONFIG_HOME, else ~/.config; %APPDATA% on Windows")
{
    // XDG_CONFIG_HOME, HOME, the folder.
    using Row = std::tuple<const char *, const char *, fs::path>;
    const Row rows[] = {
        {"/x/conf", "/home/io", "/x/conf/ciarlatronix"},
        {"/x/conf/", "/home/io", "/x/conf/ciarlatronix"},
        {"/x/conf", nullptr, "/x/conf/ciarlatronix"},
        {"", "/home/io", "/home/io/.config/ciarlatronix"},
        {nullptr, "/home/io", "/home/io/.config/ciarlatronix"},
        {"conf", "/home/io", "/home/io/.config/ciarlatronix"}, // relative: ignored
        {nullptr, nullptr, ""},
        {"", "", ""},
    };
#ifndef _WIN32 // where "/x" is an absolute path
    for (const auto &[configHome, home, folder] : rows) {
        const std::string name = std::string(configHome ? configHome : "(unset)") + ", " + (home ? home : "(unset)");
        CHECK_EQ(datafiles::xdgUserFolder(configHome, home).lexically_normal(), folder.lexically_normal(), name);
    }
#endif
    CHECK_EQ(datafiles::appDataUserFolder("C:\\Users\\io\\AppData\\Roaming"),
             fs::path("C:\\Users\\io\\AppData\\Roaming") / "Ciarlatronix", "APPDATA");
    CHECK_EQ(datafiles::appDataUserFolder({}), fs::path(), "no APPDATA");
}

namespace {

enum class Own { Good, Missing, Folder, Pipe, DanglingLink, LinkToFile };
enum class From { Named, User, Program };

struct Places
{
    TestFolder named, user, program;
    int programAsked = 0;

    // Puts a kind's file in the user folder as what says; the program folder always has one.
    bool put(Kind kind, Own what)
    {
        const char *name = datafiles::fileName(kind);
        program.write(name, "program");
        named.write(name, "named");
        switch (what) {
        case Own::Good: user.write(name, "own"); return true;
        case Own::Missing: return true;
        case Own::Folder: fs::create_directory(user.file(name)); return true;
        case Own::Pipe: return user.makePipe(name);
        case Own::DanglingLink:
        case Own::LinkToFile: {
            std::error_code error;
            fs::create_symlink(what == Own::LinkToFile ? named.file(name) : user.file("gone"), user.file(name), error);
            return !error; // Windows may not let a user make links
        }
        }
        return false;
    }
    fs::path choose(Kind kind, bool named_, const fs::path &userFolder)
    {
        datafiles::NamedFiles files;
        if (named_)
            files[kind] = named.file(datafiles::fileName(kind));
        return datafiles::choose(kind, files, userFolder, [this] { return ++programAsked, program.path(); });
    }
};

} // namespace

TEST_CASE("each file from the option, else the user's folder, else the program's folder")
{
    // Named on the command line, what the user's folder has, where the file comes from. A
    // name in the user's folder that is no plain file is taken all the same, to be reported.
    using Row = std::tuple<bool, Own, From>;
    const Row rows[] = {
        {false, Own::Missing, From::Program},     {false, Own::Good, From::User},
        {false, Own::Folder, From::User},         {false, Own::Pipe, From::User},
        {false, Own::DanglingLink, From::User},   {false, Own::LinkToFile, From::User},
        {true, Own::Good, From::Named},           {true, Own::Missing, From::Named},
        {true, Own::Folder, From::Named},
    };
    for (const Kind kind : {Kind::Phrases, Kind::Photo, Kind::Tune}) {
        for (const auto &[named, own, from] : rows) {
            Places places;
            if (!places.put(kind, own))
                continue;
            const std::string name = std::string(datafiles::fileName(kind)) + (named ? " named, " : ", ")
                                     + "own " + std::to_string(int(own));
            const fs::path file = datafiles::fileName(kind);
            const fs::path expected = from == From::Named ? places.named.path() / file
                                      : from == From::User ? places.user.path() / file
                                                           : places.program.path() / file;
            CHECK_EQ(places.choose(kind, named, places.user.path()), expected, name);
            CHECK_EQ(places.programAsked, int(from == From::Program), name + ": the program's folder asked");
        }
    }
    // No user folder at all, one that is not there, and one that is a plain file.
    Places places;
    places.put(Kind::Phrases, Own::Missing);
    const fs::path programs = places.program.file("cazzate.txt");
    CHECK_EQ(places.choose(Kind::Phrases, false, {}), programs, "no user folder");
    CHECK_EQ(places.choose(Kind::Phrases, false, places.user.file("absent")), programs, "user folder not there");
    places.user.write("plain", "");
    CHECK_EQ(places.choose(Kind::Phrases, false, places.user.file("plain")), programs, "user folder a plain file");
}

TEST_CASE("the window reads its files where they are chosen, anew for each")
{
    TestFolder program, user, elsewhere;
    program.write("cazzate.txt", "dal programma\n");
    program.write("foto.jpg", "\xFF\xD8\xFF\xE0 a photo");
    user.write("cazzate.txt", "mia\nmia\n");
    FakeControls controls;
    RecordingReporter reporter;
    RecordingServices services;
    ScriptedRandom random;
    Environment environment;
    environment.reporter = &reporter;
    environment.services = &services;
    environment.applicationFolder = [&] { return program.path(); };
    environment.random = &random;
    environment.userFolder = user.path();
    frmCiarlatronix form(controls, environment);
    form.Form_Load();
    CHECK_EQ(controls.phrase, u"mia", "the user's phrases");
    CHECK_EQ(form.pubNumeroRighe, 2, "the user's lines counted");
    CHECK_EQ(controls.photoShown, true, "the program's photo");
    CHECK_EQ(services.played, std::vector<fs::path>{program.file("audio.wav")}, "the program's tune");
    CHECK_EQ(reporter.messages.empty(), true, "no reports");

    // The user's file taken away while the program runs: the program's from the next click.
    fs::remove(user.file("cazzate.txt"));
    form.Label1_Click();
    CHECK_EQ(controls.phrase, u"dal programma", "after the user's file has gone");

    // A named file that is not there: the boxes of a missing phrase file, nothing else tried.
    environment.named.phrases = elsewhere.file("nessuna.txt");
    frmCiarlatronix named(controls, environment);
    named.Form_Load();
    const std::vector<std::u16string> tails{u"\" in ContaRighe() routine", u"\" in EstraiRiga() function"};
    CHECK_EQ(reporter.messages.size(), tails.size(), "reports for a named file not there");
    for (std::size_t i = 0; i < reporter.messages.size() && i < tails.size(); ++i) {
        const std::u16string &message = reporter.messages[i];
        CHECK_EQ(message.rfind(u"Error \"", 0) == 0 && message.size() > tails[i].size() + 7
                     && message.compare(message.size() - tails[i].size(), tails[i].size(), tails[i]) == 0,
                 true, "report " + std::to_string(i));
    }
    CHECK_EQ(controls.phrase, u"", "no phrase from elsewhere");
}
