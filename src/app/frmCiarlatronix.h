#pragma once

#include "Environment.h"
#include "ui/Layout.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

class WindowControls;
namespace phrases {
class ClockSeededRandom;
}

// The program's one window, as its routines see it: the start-up sequence, the event
// handlers and the phrase engine, over the controls a face builds with its toolkit.
class frmCiarlatronix
{
public:
    frmCiarlatronix(WindowControls &controls, Environment environment);
    ~frmCiarlatronix();
    frmCiarlatronix(const frmCiarlatronix &) = delete;
    frmCiarlatronix &operator=(const frmCiarlatronix &) = delete;

    // The event table: runs the handler of a control's Click, if it has one.
    void click(layout::Control control);

    // The start-up sequence; runs to its end before the window is first shown.
    void Form_Load();
    void Form_Unload(bool &cancel);
    void Image2_Click();
    void imgCazzaro_Click();
    void imgClose_Click();
    void imgFumetto_Click();
    void Label1_Click();
    void Label2_Click();
    void Timer1_Timer();

    std::int32_t pubNumeroRighe = 0;

private:
    void ContaRighe();
    std::int32_t Casuale(const std::int32_t &upperBound);
    void Cambia();
    std::u16string EstraiRiga();

    std::filesystem::path dataFile(datafiles::Kind kind) const;
    ErrorReporter &reporter() const { return *environment_.reporter; }

    WindowControls &controls_;
    Environment environment_;
    std::unique_ptr<phrases::ClockSeededRandom> ownRandom_;
};
