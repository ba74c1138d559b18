// The window's routines over recording controls: the start-up sequence and its reports,
// the phrase engine through Cambia, the credits, and the event table.
#include "Check.h"
#include "Fakes.h"

#include "app/frmCiarlatronix.h"
#include "common/ProgramInfo.h"
#include "common/Text.h"
#include "ui/CreditsText.h"

#include <fstream>
#include <optional>
#include <tuple>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

const std::string Jpeg = "\xFF\xD8\xFF\xE0 a photo";

struct Window
{
    TestFolder folder;
    std::vector<std::string> log;
    FakeControls controls;
    RecordingReporter reporter;
    RecordingServices services;
    ScriptedRandom random;
    std::optional<frmCiarlatronix> form;

    // clockSeeded: the program's own generator in place of the scripted one.
    explicit Window(std::int32_t lineLimit = 2147483647, bool clockSeeded = false, std::filesystem::path user = {})
    {
        controls.log = &log;
        services.log = &log;
        const auto where = [this] { return folder.path(); };
        form.emplace(controls, Environment{&reporter, &services, where, clockSeeded ? nullptr : &random, lineLimit, user, {}});
    }
    void load(const std::string &phrases)
    {
        folder.write("cazzate.txt", phrases);
        form->Form_Load();
    }
    void pick(int k) { random.draws = {ScriptedRandom::pick(k, form->pubNumeroRighe)}; }
};

// A report expected from its closing quote on leaves the description to the system's own
// words: such a report, with a description, is cut to that tail to compare.
std::vector<std::u16string> asExpected(std::vector<std::u16string> got, const std::vector<std::u16string> &expected)
{
    for (std::size_t i = 0; i < got.size() && i < expected.size(); ++i) {
        const std::u16string &tail = expected[i];
        if (tail.rfind(u"\" in ", 0) == 0 && got[i].rfind(u"Error \"", 0) == 0 && got[i].size() > tail.size() + 7
            && got[i].compare(got[i].size() - tail.size(), tail.size(), tail) == 0)
            got[i] = tail;
    }
    return got;
}

enum class Put { Good, Missing, Folder, Pipe, Garbage };

void put(const TestFolder &folder, const char *name, Put what, const std::string &good)
{
    switch (what) {
    case Put::Good: folder.write(name, good); break;
    case Put::Missing: break;
    case Put::Folder: std::filesystem::create_directory(folder.file(name)); break;
    case Put::Pipe: folder.makePipe(name); break; // where there are none, it is missing: the same reports
    case Put::Garbage: folder.write(name, "GIF89a not really"); break;
    }
}

} // namespace

// The lines themselves are the phrase file's tests; here, what the window does with them.
TEST_CASE("each pick shows the line drawn; a file shrunk below the count shows nothing")
{
    const std::u16string lines[] = {u"x", u"", u"y\r\nz"};
    Window window;
    window.load("x\r\n\ry/nz");
    CHECK_EQ(window.form->pubNumeroRighe, 3, "count");
    for (int k = 1; k <= 3; ++k) {
        window.pick(k);
        window.form->Label1_Click();
        CHECK_EQ(window.controls.phrase, lines[k - 1], "line " + std::to_string(k));
    }
    window.folder.write("cazzate.txt", "");
    window.form->Label1_Click();
    CHECK_EQ(window.controls.phrase, u"", "shrunk");
    CHECK_EQ(window.reporter.messages.size(), std::size_t{1}, "reports"); // the missing photo's
    CHECK_EQ(window.random.reseeds, 3 + 2, "reseeds");
#if !defined(_WIN32) && !defined(__SANITIZE_ADDRESS__) // the sanitizer's shadow memory takes terabytes
    // A click reads from the start to its line: on 128 MiB, with 8 MiB more address space than
    // the count needed, a copy of the file or a buffer that grows does not fit.
    std::string chunk; // 1 MiB of lines 4 to 2000 bytes long, LF and CR LF ends
    for (int i = 0; chunk.size() < 1048576; ++i)
        chunk += "riga" + std::string(std::size_t(i * 7919 % 1996), char('a' + i % 26)) + (i % 3 ? "\n" : "\r\n");
    const auto chunkLines = referenceLines(chunk);
    const auto c = std::int32_t(chunkLines.size());
    std::ofstream out(window.folder.file("cazzate.txt"), std::ios::binary);
    for (int i = 0; i < 96; ++i)
        out << chunk;
    out << std::string(32 << 20, 'Z') << "\nultima" << std::flush;
    window.form->Form_Load();
    CHECK_EQ(window.form->pubNumeroRighe, 96 * c + 2, "count of the large file");
    if (const pid_t child = (std::cout.flush(), fork()); child == 0) {
        std::size_t pages = 0, wrong = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlimit bound{pages * std::size_t(sysconf(_SC_PAGESIZE)) + (8 << 20), RLIM_INFINITY};
        setrlimit(RLIMIT_AS, &bound);
        for (const std::int32_t k : {1, 50 * c + 7, 96 * c, 96 * c + 1, 96 * c + 2}) {
            window.pick(k);
            window.form->Label1_Click();
            const std::u16string shown = k > 96 * c ? k > 96 * c + 1 ? u"ultima" : std::u16string(360, u'Z')
                                                    : referencePhrase(chunkLines[std::size_t((k - 1) % c)]).substr(0, 360);
            CHECK_EQ(window.controls.phrase, shown, "large file, line " + std::to_string(k));
            wrong += window.controls.phrase != shown;
        }
        _exit((std::cout.flush(), int(wrong)));
    }
    int status = -1;
    CHECK_EQ(wait(&status) > 0 && status == 0, true, "clicks on the large file, each within the bound");
#endif
}

TEST_CASE("the user's phrases before the program's, chosen anew for each pick")
{
    TestFolder user;
    user.write("cazzate.txt", "mia\nmia\n");
    Window window(2147483647, false, user.path());
    window.folder.write("foto.jpg", Jpeg);
    window.load("dal programma\n");
    CHECK_EQ(window.controls.phrase + u" " + char16_t(u'0' + window.form->pubNumeroRighe), u"mia 2", "the user's, counted");
    CHECK_EQ(window.controls.photoShown && window.reporter.messages.empty(), true, "the program's photo, no report");
    CHECK_EQ(window.services.played, std::vector<std::filesystem::path>{window.folder.file("audio.wav")}, "the program's tune");
    std::filesystem::remove(user.file("cazzate.txt"));
    window.form->Label1_Click();
    CHECK_EQ(window.controls.phrase, u"dal programma", "once the user's file has gone");
}

TEST_CASE("Cambia: the cut and the type size by the phrase's length")
{
    // The line, how much of it is shown, the size.
    using Row = std::tuple<const char *, std::u16string, std::size_t, float>;
    const std::u16string pair = u"\U0001F600";
    const Row rows[] = {
        {"0", u"", 0, 16},                            {"1", u"x", 1, 15},
        {"45", std::u16string(45, u'x'), 45, 15},     {"46", std::u16string(46, u'x'), 46, 14},
        {"46 with a line break", std::u16string(22, u'x') + u"/n" + std::u16string(22, u'x'), 46, 14},
        {"90", std::u16string(90, u'x'), 90, 14},     {"91", std::u16string(91, u'x'), 91, 13},
        {"315", std::u16string(315, u'x'), 315, 9},   {"316", std::u16string(316, u'x'), 316, 8},
        {"360", std::u16string(360, u'x'), 360, 8},
        {"cut between CR and LF", std::u16string(359, u'x') + u"/nyy", 360, 8},
        {"cut never splits a pair", std::u16string(359, u'x') + pair + u"yy", 359, 8},
        {"a pair ending at 360 stays whole", std::u16string(358, u'x') + pair, 360, 8},
        {"a 1 MB line", std::u16string(1 << 20, u'x'), 360, 8},
    };
    for (const auto &[name, line, shownLength, size] : rows) {
        Window window;
        window.load(text::toUtf8(line));
        CHECK_EQ(window.controls.phraseSize, size, name);
        CHECK_EQ(window.controls.phrase, referenceExpand(line).substr(0, shownLength), name);
        // However long the line, the label is handed only what it shows.
        CHECK_EQ(window.controls.phraseCapacity < 4096, true, name);
    }
}

// Each routine's report through a step made to fail, the folders start-up can meet, and the
// photo on both sides of its limit as sparse files.
TEST_CASE("every routine reports a failed step in its own words")
{
    using Action = void (frmCiarlatronix::*)();
    const auto Start = &frmCiarlatronix::Form_Load, Pick = &frmCiarlatronix::Label1_Click;
    const std::u16string Load = u"\" in Form_Load() routine", Conta = u"\" in ContaRighe() routine",
                         Estrai = u"\" in EstraiRiga() function";
    const std::uint64_t MiB128 = std::uint64_t{128} << 20;
    struct Row
    {
        std::string failing;
        Action action;
        std::vector<std::u16string> reports;
        Put phrases = Put::Good, photo = Put::Good;
        std::uint64_t photoSize = 0;
    };
    const Row rows[] = {
        {"", Start, {}},
        {"sound", Start, {u"Error \"Boom\" in API_PlaySound() routine"}},
        {"photo", Start, {u"Error \"Boom\" in Form_Load() routine"}},
        {"", Start, {u"Error \"Not a picture\" in Form_Load() routine"}, Put::Good, Put::Garbage},
        {"", Start, {u"Error \"Is a directory\" in Form_Load() routine"}, Put::Good, Put::Folder},
        {"", Start, {Load}, Put::Good, Put::Missing},
        {"", Start, {Load}, Put::Good, Put::Pipe},
        {"", Start, {u"Error \"Is a directory\" in ContaRighe() routine",
                     u"Error \"Is a directory\" in EstraiRiga() function"}, Put::Folder},
        {"", Start, {Conta, Estrai}, Put::Missing},
        {"", Start, {Conta, Estrai}, Put::Pipe},
        {"", Start, {Conta, Estrai, Load}, Put::Missing, Put::Garbage},
        {"more lines than the limit", Start, {u"Error \"Overflow\" in ContaRighe() routine"}},
        {"reseed", Pick, {u"Error \"Boom\" in Casuale() function"}},
        {"size", Pick, {u"Error \"Boom\" in Cambia() function"}},
        {"phrase", Pick, {u"Error \"Boom\" in Cambia() function"}},
        {"open", &frmCiarlatronix::Image2_Click, {u"Error \"Boom\" in Image2_Click() routine"}},
        {"setCreditsText", &frmCiarlatronix::Label2_Click, {u"Error \"Boom\" in Label2_Click() function"}},
        {"creditsText", &frmCiarlatronix::Timer1_Timer, {u"Error \"Boom\" in Timer1_Timer() function"}},
        {"", Start, {}, Put::Good, Put::Good, MiB128 - 1},
        {"", Start, {}, Put::Good, Put::Good, MiB128},
        {"", Start, {u"Error \"File too large\" in Form_Load() routine"}, Put::Good, Put::Good, MiB128 + 1},
    };
    for (const Row &row : rows) {
        const bool limited = row.failing == "more lines than the limit";
        Window window(limited ? 3 : 2147483647);
        put(window.folder, "cazzate.txt", row.phrases, "1\n2\n3\n4\n5\n");
        put(window.folder, "foto.jpg", row.photo, Jpeg);
        if (row.photoSize)
            std::filesystem::resize_file(window.folder.file("foto.jpg"), row.photoSize);
        if (row.action != Start)
            window.form->Form_Load(), window.controls.phrase.clear(), window.log.clear();
        window.controls.failing = window.services.failing = window.random.failing = row.failing;
        (*window.form.*row.action)();
        const std::string name = row.failing + " " + std::to_string(int(row.phrases)) + std::to_string(int(row.photo))
                                 + " " + std::to_string(row.photoSize);
        CHECK_EQ(asExpected(window.reporter.messages, row.reports), row.reports, name);
        const bool photoShown = row.failing != "photo" && row.photo == Put::Good && row.photoSize <= MiB128;
        CHECK_EQ(window.controls.photoShown, photoShown, name);
        // A failed reseed still draws, a failed size still shows the phrase.
        if (row.action == Pick)
            CHECK_EQ(window.controls.phrase.size(), std::size_t(row.failing != "phrase"), name);
        const bool goodPhrases = row.phrases == Put::Good;
        CHECK_EQ(window.form->pubNumeroRighe, goodPhrases ? limited ? 3 : 5 : 0, name);
        if (row.action != Start || !row.failing.empty())
            continue;
        // Each step runs, in order, whatever the one before it did.
        std::vector<std::string> steps{"sound", "size", "phrase"};
        if ((row.photo == Put::Good || row.photo == Put::Garbage) && row.photoSize <= MiB128)
            steps.push_back("photo");
        CHECK_EQ(window.log, steps, name);
        CHECK_EQ(window.services.played, std::vector<std::filesystem::path>{window.folder.file("audio.wav")}, name);
        CHECK_EQ(window.controls.phrase.size(), std::size_t(goodPhrases), name);
    }
}

// No seam: the program's own generator, reseeded from the clock before each draw. A draw
// outside [0, 1) shows no line. The chi-square (15 degrees of freedom) passes 70 by chance
// with a probability of 5e-9.
TEST_CASE("the clock-seeded draw reaches every line, evenly")
{
    Window window(2147483647, true);
    window.load("a\nb\nc\nd\ne\nf\ng\nh\ni\nj\nk\nl\nm\nn\no\np\n");
#ifdef _WIN32
    const int clicks = 8000; // each opens the file: a millisecond under Wine
#else
    const int clicks = 32000;
#endif
    std::vector<int> shown(17);
    for (int click = 0; click < clicks; ++click) {
        window.form->Label1_Click();
        const std::u16string &phrase = window.controls.phrase;
        ++shown[phrase.size() == 1 && phrase[0] >= u'a' && phrase[0] <= u'p' ? phrase[0] - u'a' + 1 : 0];
    }
    CHECK_EQ(shown[0], 0, "clicks that showed no line");
    double chiSquare = 0;
    for (int line = 1; line <= 16; ++line)
        chiSquare += (shown[line] - clicks / 16.0) * (shown[line] - clicks / 16.0) / (clicks / 16.0);
    CHECK_EQ(chiSquare < 70, true, "chi-square " + std::to_string(chiSquare));
}

TEST_CASE("the credits: filled by a click, turned by each tick")
{
    Window window;
    const std::u16string credits = credits::text();
    window.form->Timer1_Timer(); // not started: nothing but the turn of what is there
    window.form->Label2_Click();
    CHECK_EQ(window.controls.credits, credits, "after the click");
    CHECK(window.controls.timerEnabled);
    CHECK_EQ(window.controls.timerInterval, 200, "interval");
    window.form->Timer1_Timer();
    CHECK_EQ(window.controls.credits, credits.substr(1) + u"L", "one tick");
    CHECK(window.controls.creditsLeft);
    for (std::size_t tick = 1; tick < credits.size(); ++tick)
        window.form->Timer1_Timer();
    CHECK_EQ(window.controls.credits, credits, "a full turn");
    window.form->Timer1_Timer();
    window.form->Label2_Click();
    CHECK_EQ(window.controls.credits, credits, "a second click starts again");
    for (const std::u16string &small : {std::u16string(), std::u16string(u"x")}) {
        window.controls.credits = small;
        window.form->Timer1_Timer();
        CHECK_EQ(window.controls.credits, small, "short texts stay");
    }
    CHECK(window.reporter.messages.empty());
}

TEST_CASE("the credits text: ten segments, each closed by the separator")
{
    // The labels that open the segments, in order; the words after them are the program's own.
    const char16_t *labels[] = {u"Lo Ciarlatronix 1.0 - ", u"Realizzato da ", u"Linguaggio di programmazione: ",
                                u"Dialetto di programmazione: ", u"Grafica: ", u"Font logo: ", u"Font link: ",
                                u"Canzoncina stupenda di sottofondo: ", u"Scopo del programma: ", u"Homepage: "};
    const std::u16string text = credits::text();
    std::size_t at = 0;
    for (const std::u16string label : labels) {
        CHECK_EQ(text.substr(at, label.size()), label, "the segment at " + std::to_string(at));
        at = text.find(u" - ", at) + 3;
    }
    // The last is the link's home page, and the text ends with the separator, which joins it to the start.
    CHECK_EQ(text.substr(text.rfind(u"Homepage: ")), u"Homepage: " + text::fromUtf8(program::HomePage) + u" - ", "the end");
}

TEST_CASE("the event table: what a click on each control does")
{
    using layout::Control;
    // A new phrase, the home page opened, the credits rolling, the window unloaded.
    const std::tuple<Control, bool, bool, bool, bool> rows[] = {
        {Control::imgCazzaro, true, false, false, false}, {Control::imgFumetto, true, false, false, false},
        {Control::Label1, true, false, false, false},     {Control::Image2, false, true, false, false},
        {Control::Label2, false, false, true, false},     {Control::imgClose, false, false, false, true},
        {Control::Image1, false, false, false, false},    {Control::txtCrediti, false, false, false, false},
        {Control::None, false, false, false, false},
    };
    for (const auto &[control, newPhrase, opened, rolling, unloaded] : rows) {
        Window window;
        window.load("a\nb\n");
        window.pick(2);
        const std::string name = layout::of(control).name;
        window.form->click(control);
        CHECK_EQ(window.controls.phrase == u"b", newPhrase, name);
        CHECK_EQ(window.services.opened == std::vector<std::string>{program::HomePage}, opened, name);
        CHECK_EQ(window.controls.credits == credits::text() && window.controls.timerEnabled, rolling, name);
        CHECK_EQ(window.controls.unloaded, unloaded, name);
        CHECK_EQ(window.services.owners, std::vector<std::uintptr_t>(opened, 0x5EED), name);
    }
}
