#pragma once

#include "Layout.h"

#include <array>
#include <string>
#include <string_view>

// What a screen reader is told about each control of the window, the same on every face.
// A control's default action is a click on it, as Space or Enter gives when it has the focus.
namespace accessible {

enum class Role { PushButton, Link, Graphic, ReadOnlyText };

struct ControlDescription
{
    layout::Control id;
    const char *name;        // UTF-8; empty for the phrase, whose text is its name
    const char *description; // UTF-8
    Role role;
    bool pressable;          // its default action runs the control's Click
};

// The name of the default action, as the platforms' own press action is called.
inline constexpr std::u16string_view PressAction = u"Press";

// In reading order: the top row from the left, then down. The timer is nothing to read.
inline constexpr std::array<ControlDescription, 8> Controls{{
    {layout::Control::Image2, "Homepage", "Apre la homepage del programma nel browser", Role::Link, true},
    {layout::Control::imgFumetto, "Fumetto", "Clicca per una nuova cazzata", Role::PushButton, true},
    {layout::Control::Label1, "", "La cazzata del momento: clicca per averne una nuova", Role::PushButton, true},
    {layout::Control::imgClose, "Chiudi", "Chiude il programma", Role::PushButton, true},
    {layout::Control::imgCazzaro, "Foto del cazzaro", "Clicca per una nuova cazzata", Role::PushButton, true},
    {layout::Control::Image1, "Logo: Lo Ciarlatronix !", "Decorazione", Role::Graphic, false},
    {layout::Control::Label2, "Credits", "Fa scorrere i riconoscimenti", Role::PushButton, true},
    {layout::Control::txtCrediti, "Riconoscimenti", "La casella in cui scorrono i riconoscimenti", Role::ReadOnlyText,
     false},
}};

// The entry of a control, or nullptr for one a screen reader is not told about.
const ControlDescription *of(layout::Control control);

// A label's text as read out: what is shown, "&x" read as x and "&&" as one ampersand,
// each line break (CR LF, lone CR or LF) as "\n".
std::u16string spokenText(std::u16string_view labelText);

} // namespace accessible
