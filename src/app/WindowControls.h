#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The properties the window's routines change while the program runs, as each face's
// toolkit keeps them. A setter that fails throws; the routine's trap reports it.
class WindowControls
{
public:
    virtual ~WindowControls() = default;

    // Label1
    virtual void setPhraseFontSize(float points) = 0;
    virtual void setPhraseText(const std::u16string &text) = 0;

    // txtCrediti
    virtual std::u16string creditsText() const = 0;
    virtual void setCreditsText(const std::u16string &text) = 0;
    virtual void alignCreditsLeft() = 0;

    // Timer1: an enabled timer with interval 0 does not tick.
    virtual void setTimerEnabled(bool enabled) = 0;
    virtual void setTimerInterval(int milliseconds) = 0;

    // imgCazzaro: decodes a picture file's bytes with the platform's loader and shows it at
    // its natural size; throws phrases::Failure in the loader's words when it cannot.
    virtual void setPhoto(const std::vector<unsigned char> &file) = 0;

    // The window's own handle, for the shell to own what it shows.
    virtual std::uintptr_t nativeHandle() const = 0;
    // Unloads the window; with it gone the program ends.
    virtual void unload() = 0;
};
