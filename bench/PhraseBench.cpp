// Prints how fast the phrase engine counts and picks on big phrase files, side by side
// with wc -l and sed on the same files, and the peak memory of each case.
//   phrase_bench [--gigabyte]     (the option adds a 1 GB single line, written to the temp folder)
#include "app/WindowControls.h"
#include "app/frmCiarlatronix.h"
#include "common/ErrorReporter.h"
#include "common/Text.h"
#include "phrases/LineScan.h"
#include "phrases/PhraseFile.h"
#include "phrases/PhraseText.h"
#include "phrases/RandomSource.h"
#include "services/SystemServices.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int Runs = 7;

struct Silent : ErrorReporter
{
    void report(const std::u16string &message) override
    {
        std::fprintf(stderr, "report: %s\n", text::toUtf8(message).c_str());
    }
};

struct NoServices : SystemServices
{
    void playSound(const std::filesystem::path &) override {}
    void openAddress(const std::string &, std::uintptr_t) override {}
};

// Keeps what the label would show, as a toolkit would: a copy of the phrase.
struct KeptPhrase : WindowControls
{
    std::u16string phrase;
    void setPhraseFontSize(float) override {}
    void setPhraseText(const std::u16string &text) override { phrase = text; }
    std::u16string creditsText() const override { return {}; }
    void setCreditsText(const std::u16string &) override {}
    void alignCreditsLeft() override {}
    void setTimerEnabled(bool) override {}
    void setTimerInterval(int) override {}
    void setPhoto(const std::vector<unsigned char> &) override {}
    std::uintptr_t nativeHandle() const override { return 0; }
    void unload() override {}
};

// Always draws the same line.
struct FixedDraw : phrases::RandomSource
{
    float r = 0.0f;
    void reseed() override {}
    float next() override { return r; }
};

// Peak resident memory since the last reset, in MiB.
void resetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

double peakMemoryMiB()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            double kib = 0;
            status >> kib;
            return kib / 1024.0;
        }
        status.ignore(1 << 16, '\n');
    }
    return 0;
}

struct Figure
{
    double ms;
    double peakMiB;
};

// Median of several warm runs.
Figure measure(const std::function<void()> &work)
{
    work();
    std::vector<double> times;
    resetPeakMemory();
    for (int i = 0; i < Runs; ++i) {
        const auto start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], peakMemoryMiB()};
}

Figure measureCommand(const std::string &command)
{
    return measure([&] {
        if (std::system((command + " >/dev/null").c_str()) != 0)
            std::fprintf(stderr, "failed: %s\n", command.c_str());
    });
}

std::string phraseOfLength(std::mt19937 &random, std::size_t length)
{
    static const std::string words[] = {"la",    "cazzata", "del",     "giorno", "è",      "servita", "con",
                                        "panna", "montata", "ma",      "senza",  "logica", "alcuna",  "perché",
                                        "il",    "gatto",   "filosofo", "dorme", "sempre", "/n"};
    std::string phrase;
    while (phrase.size() < length) {
        if (!phrase.empty())
            phrase += ' ';
        phrase += words[random() % std::size(words)];
    }
    phrase.resize(length);
    return phrase;
}

// Lines of 20 to 120 bytes with CR LF ends, until the file holds about `bytes`.
std::int32_t writePhraseFile(const fs::path &path, std::size_t bytes, std::size_t meanLength)
{
    std::mt19937 random(7);
    std::ofstream out(path, std::ios::binary);
    std::size_t written = 0;
    std::int32_t lines = 0;
    while (written < bytes) {
        const std::size_t length = meanLength / 3 + random() % (meanLength * 4 / 3);
        const std::string line = phraseOfLength(random, length) + "\r\n";
        out << line;
        written += line.size();
        ++lines;
    }
    return lines;
}

void writeSingleLine(const fs::path &path, std::size_t bytes)
{
    std::ofstream out(path, std::ios::binary);
    const std::string chunk(1 << 20, 'x');
    for (std::size_t written = 0; written < bytes; written += chunk.size())
        out << chunk;
}

std::int32_t countLines(const fs::path &path)
{
    phrases::PhraseFile file;
    file.open(path);
    std::int32_t counter = 0;
    file.countLines(counter);
    return counter;
}

std::size_t pickLine(const fs::path &path, std::int32_t k)
{
    phrases::PhraseFile file;
    file.open(path);
    std::u16string phrase;
    file.readPhrase(k, phrase, phrases::MaxShownLength + 1);
    return phrase.size();
}

void row(const std::string &what, const Figure &ours, const Figure *theirs = nullptr, const char *theirName = "")
{
    std::printf("%-44s %9.2f ms %8.1f MiB", what.c_str(), ours.ms, ours.peakMiB);
    if (theirs)
        std::printf("   %-14s %9.2f ms   ratio %5.2f", theirName, theirs->ms, ours.ms / theirs->ms);
    std::printf("\n");
}

} // namespace

int main(int argc, char **argv)
{
    const bool gigabyte = argc > 1 && std::strcmp(argv[1], "--gigabyte") == 0;
    const fs::path folder = fs::temp_directory_path() / "ciarla-bench";
    fs::create_directories(folder);
    const fs::path big = folder / "big" / "cazzate.txt";
    const fs::path single = folder / "single" / "cazzate.txt";
    const fs::path small = folder / "small" / "cazzate.txt";
    const fs::path huge = folder / "huge" / "cazzate.txt";
    for (const fs::path &p : {big, single, small, huge})
        fs::create_directories(p.parent_path());

    std::printf("writing the phrase files in %s ...\n", folder.c_str());
    const std::int32_t bigLines = writePhraseFile(big, 100'000'000, 66);
    writeSingleLine(single, 100'000'000);
    const std::int32_t smallLines = writePhraseFile(small, 1'000'000, 80);
    if (gigabyte)
        writeSingleLine(huge, 1'000'000'000);
    std::printf("100 MB file: %d lines, CR LF ends; single line: %ju bytes; 1 MB file: %d lines\n", bigLines,
                std::uintmax_t(fs::file_size(single)), smallLines);
    std::printf("scan kernel: %s; median of %d warm runs\n\n", phrases::scan::kernelName(), Runs);

    const std::string bigName = big.string();
    std::printf("%-44s %12s %12s   %-14s %12s\n", "case", "ours", "peak", "reference", "theirs");

    const Figure wc = measureCommand("wc -l " + bigName);
    const Figure count = measure([&] {
        if (countLines(big) != bigLines)
            std::abort();
    });
    row("count lines, 100 MB (ContaRighe)", count, &wc, "wc -l");

    const std::int32_t middle = bigLines / 2;
    for (const auto &[name, k] : {std::pair{"first", 1}, std::pair{"middle", middle}, std::pair{"last", bigLines}}) {
        const Figure sed = measureCommand("sed -n '" + std::to_string(k) + "p;" + std::to_string(k) + "q' " + bigName);
        const Figure pick = measure([&, k = k] { pickLine(big, k); });
        const std::string what = std::string("pick the ") + name + " line, 100 MB (EstraiRiga)";
        row(what, pick, &sed, "sed -n Np;Nq");
        if (std::string(name) == "last")
            row("pick the last line, 100 MB, against wc -l", pick, &wc, "wc -l");
    }

    // A line as long as the file: the pick keeps only its start and costs about a count.
    for (const auto &[name, file] : {std::pair{"one 100 MB line", single}, std::pair{"one 1 GB line", huge}}) {
        if (file == huge && !gigabyte)
            continue;
        const Figure wcSingle = measureCommand("wc -l " + file.string());
        const Figure countSingle = measure([&, file = file] { countLines(file); });
        row(std::string("count lines, ") + name, countSingle, &wcSingle, "wc -l");
        row(std::string("pick ") + name + " (readPhrase)", measure([&, file = file] { pickLine(file, 1); }),
            &countSingle, "its count");
    }

    const Figure wcSmall = measureCommand("wc -l " + small.string());
    row("count lines, 1 MB of phrases", measure([&] { countLines(small); }), &wcSmall, "wc -l");
    row("pick the last line, 1 MB of phrases", measure([&] { pickLine(small, smallLines); }));

    // A whole click: draw, read, decode, cut, size and show, on the real window.
    for (const auto &[name, file, lines] : {std::tuple{"Cambia, last line of 100 MB", big, bigLines},
                                             std::tuple{"Cambia, the one 100 MB line", single, 1},
                                             std::tuple{"Cambia, last line of 1 MB", small, smallLines}}) {
        Silent reporter;
        NoServices services;
        FixedDraw draw;
        draw.r = std::nextafter(1.0f, 0.0f);
        Environment environment;
        environment.reporter = &reporter;
        environment.random = &draw;
        environment.services = &services;
        const fs::path dir = file.parent_path();
        environment.applicationFolder = [dir] { return dir; };
        KeptPhrase label;
        frmCiarlatronix window(label, environment);
        window.pubNumeroRighe = lines;
        row(name, measure([&] { window.Label1_Click(); }));
    }

    fs::remove_all(folder);
    return 0;
}
