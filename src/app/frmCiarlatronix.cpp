#include "frmCiarlatronix.h"

#include "WindowControls.h"
#include "common/ErrorTrap.h"
#include "common/ProgramInfo.h"
#include "phrases/PhraseFile.h"
#include "phrases/PhraseText.h"
#include "phrases/RandomSource.h"
#include "phrases/RegularFile.h"
#include "services/modFunzioni.h"
#include "services/SystemServices.h"
#include "ui/CreditsText.h"
#include "ui/Ticker.h"

namespace {

// Far above any photo worth showing, far below what would strain the machine.
constexpr std::uint64_t MaxPhotoBytes = std::uint64_t{128} << 20;

// The label shows at most MaxShownLength units; one more lets the cut see past its edge.
constexpr std::size_t KeptPhraseUnits = phrases::MaxShownLength + 1;

} // namespace

frmCiarlatronix::frmCiarlatronix(WindowControls &controls, Environment environment)
    : controls_(controls), environment_(std::move(environment))
{
    if (!environment_.random) {
        ownRandom_ = std::make_unique<phrases::ClockSeededRandom>();
        environment_.random = ownRandom_.get();
    }
}

frmCiarlatronix::~frmCiarlatronix() = default;

void frmCiarlatronix::click(layout::Control control)
{
    using layout::Control;
    switch (control) {
    case Control::imgCazzaro: imgCazzaro_Click(); break;
    case Control::imgFumetto: imgFumetto_Click(); break;
    case Control::Label1: Label1_Click(); break;
    case Control::imgClose: imgClose_Click(); break;
    case Control::Image2: Image2_Click(); break;
    case Control::Label2: Label2_Click(); break;
    case Control::txtCrediti:
    case Control::Timer1:
    case Control::Image1:
    case Control::None: break;
    }
}

std::filesystem::path frmCiarlatronix::dataFile(datafiles::Kind kind) const
{
    return datafiles::choose(kind, environment_.named, environment_.userFolder, environment_.applicationFolder);
}

void frmCiarlatronix::Form_Load()
{
    ErrorTrap trap(reporter(), "Form_Load", ErrorTrap::Kind::Routine);
    trap.run([&] { modFunzioni::API_PlaySound(dataFile(datafiles::Kind::Tune), *environment_.services, reporter()); });
    trap.run([&] { ContaRighe(); });
    trap.run([&] { Label1_Click(); });
    trap.run([&] { controls_.setPhoto(phrases::readRegularFile(dataFile(datafiles::Kind::Photo), MaxPhotoBytes)); });
}

void frmCiarlatronix::Form_Unload(bool &)
{
}

void frmCiarlatronix::Image2_Click()
{
    ErrorTrap trap(reporter(), "Image2_Click", ErrorTrap::Kind::Routine);
    trap.run([&] { environment_.services->openAddress(program::HomePage, controls_.nativeHandle()); });
}

void frmCiarlatronix::imgCazzaro_Click()
{
    Cambia();
}

void frmCiarlatronix::imgClose_Click()
{
    controls_.unload();
}

void frmCiarlatronix::ContaRighe()
{
    ErrorTrap trap(reporter(), "ContaRighe", ErrorTrap::Kind::Routine);
    phrases::PhraseFile file;
    trap.run([&] {
        pubNumeroRighe = 0;
        file.open(dataFile(datafiles::Kind::Phrases));
        file.countLines(pubNumeroRighe, environment_.lineLimit);
    });
    file.close();
}

std::int32_t frmCiarlatronix::Casuale(const std::int32_t &upperBound)
{
    ErrorTrap trap(reporter(), "Casuale", ErrorTrap::Kind::Function);
    std::int32_t drawn = 0;
    trap.run([&] { environment_.random->reseed(); });
    trap.run([&] { drawn = phrases::drawWholeNumber(upperBound, environment_.random->next()); });
    return drawn;
}

void frmCiarlatronix::Cambia()
{
    ErrorTrap trap(reporter(), "Cambia", ErrorTrap::Kind::Function);
    std::u16string phrase;
    std::int32_t length = 0;
    trap.run([&] { phrase = EstraiRiga(); });
    trap.run([&] { phrase.resize(phrases::cutLength(phrase.data(), phrase.size())); });
    trap.run([&] { length = std::int32_t(phrase.size()); });
    trap.run([&] { controls_.setPhraseFontSize(phrases::fontSizeFor(length)); });
    trap.run([&] { controls_.setPhraseText(phrase); });
}

void frmCiarlatronix::imgFumetto_Click()
{
    Cambia();
}

void frmCiarlatronix::Label1_Click()
{
    Cambia();
}

std::u16string frmCiarlatronix::EstraiRiga()
{
    std::u16string phrase;
    ErrorTrap trap(reporter(), "EstraiRiga", ErrorTrap::Kind::Function);
    phrases::PhraseFile file;
    trap.run([&] {
        const std::int32_t k = Casuale(pubNumeroRighe);
        file.open(dataFile(datafiles::Kind::Phrases));
        std::u16string line;
        if (file.readPhrase(k, line, KeptPhraseUnits, environment_.lineLimit))
            phrase = std::move(line);
    });
    file.close();
    return phrase;
}

void frmCiarlatronix::Label2_Click()
{
    ErrorTrap trap(reporter(), "Label2_Click", ErrorTrap::Kind::Function);
    trap.run([&] { controls_.setCreditsText(credits::text()); });
    trap.run([&] { controls_.setTimerEnabled(true); });
    trap.run([&] { controls_.setTimerInterval(layout::CreditsTickMs); });
}

void frmCiarlatronix::Timer1_Timer()
{
    ErrorTrap trap(reporter(), "Timer1_Timer", ErrorTrap::Kind::Function);
    std::u16string text;
    trap.run([&] { text = controls_.creditsText(); });
    trap.run([&] { text = ticker::rotateLeft(text); });
    trap.run([&] { controls_.alignCreditsLeft(); });
    trap.run([&] { controls_.setCreditsText(text); });
}
