#pragma once

// Recorders in place of the toolkit, the operating system and the clock, and a scratch
// application folder.
#include "app/WindowControls.h"
#include "common/ErrorReporter.h"
#include "phrases/Failure.h"
#include "phrases/RandomSource.h"
#include "services/SystemServices.h"
#include "Reference.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// Each fake step named in failing throws Failure("Boom"), as a failing system call would.
// note also records the step in log, when there is one.
struct Seam
{
    std::string failing;
    std::vector<std::string> *log = nullptr;
    void step(const char *name) const { failing == name ? throw phrases::Failure("Boom") : void(); }
    void note(const char *name) const { step(name), log ? log->push_back(name) : void(); }
};

// The wording of the Failure step throws; empty when it throws none.
template<typename Step>
std::string failureOf(Step step)
{
    try {
        step();
    } catch (const phrases::Failure &failure) {
        return failure.what();
    }
    return {};
}

// Starts as the real controls do: the timer stopped, "Credits" centred.
struct FakeControls : WindowControls, Seam
{
    float phraseSize = 8.0f;
    std::u16string phrase = u"Label1";
    std::size_t phraseCapacity = 0; // of the text handed over, before any copy
    std::u16string credits = u"Credits";
    bool creditsLeft = false, timerEnabled = false;
    int timerInterval = 0;
    bool photoShown = false, unloaded = false;

    void setPhraseFontSize(float points) override { note("size"), phraseSize = points; }
    void setPhraseText(const std::u16string &text) override { note("phrase"), phrase = text, phraseCapacity = text.capacity(); }
    std::u16string creditsText() const override { return step("creditsText"), credits; }
    void setCreditsText(const std::u16string &text) override { step("setCreditsText"), credits = text; }
    void alignCreditsLeft() override { creditsLeft = true; }
    void setTimerEnabled(bool enabled) override { timerEnabled = enabled; }
    void setTimerInterval(int milliseconds) override { timerInterval = milliseconds; }
    // A JPEG starts FF D8; anything else is "not a picture", as a loader would say.
    void setPhoto(const std::vector<unsigned char> &file) override
    {
        note("photo");
        if (file.size() < 2 || file[0] != 0xFF || file[1] != 0xD8)
            throw phrases::Failure("Not a picture");
        photoShown = true;
    }
    std::uintptr_t nativeHandle() const override { return 0x5EED; }
    void unload() override { unloaded = true; }
};

struct RecordingReporter : ErrorReporter
{
    std::vector<std::u16string> messages;
    void report(const std::u16string &message) override { messages.push_back(message); }
};

struct RecordingServices : SystemServices, Seam
{
    std::vector<std::filesystem::path> played;
    std::vector<std::string> opened;
    std::vector<std::uintptr_t> owners;
    void playSound(const std::filesystem::path &path) override { note("sound"), played.push_back(path); }
    void openAddress(const std::string &address, std::uintptr_t owner) override
    {
        step("open"), opened.push_back(address), owners.push_back(owner);
    }
};

// Draws the numbers it is given, in turn, and counts the reseeds.
struct ScriptedRandom : phrases::RandomSource, Seam
{
    std::vector<float> draws;
    std::size_t position = 0;
    int reseeds = 0;
    void reseed() override { step("reseed"), ++reseeds; }
    float next() override { return draws.empty() ? 0.0f : draws[position++ % draws.size()]; }
    // The draw that makes the 1..n pick land on k.
    static float pick(int k, int n) { return float((k - 0.5) / n); }
};

class TestFolder
{
public:
    TestFolder();
    ~TestFolder();
    std::filesystem::path path() const { return dir_; }
    std::filesystem::path file(const char *name) const { return dir_ / name; }
    void write(const char *name, const std::string &text) const { std::ofstream(file(name), std::ios::binary) << text; }
    // A named pipe where the platform has them; false where it has not.
    bool makePipe(const char *name) const;

private:
    std::filesystem::path dir_;
};
