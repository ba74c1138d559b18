#pragma once

#include <QString>

class QWidget;

// What a screen reader gets from the window: the phrase as text, and an action on each
// control that takes a click, besides the keyboard's way round the controls.
namespace accessibility {

// Puts the window's own interfaces before Qt's; once per program is enough.
void install();

// Gives a control of the window, known by its object name, its name and description;
// one that takes a click gets a press action, a click on it through the click relay.
void describe(QWidget *control);

// Tells the bus that the control's name changed, giving the name, so that a reader speaks it
// once: unless the toolkit has just told it so itself (textChanged, from Qt 6.8 on).
void nameChanged(QWidget *control, bool textChanged);

// A label's text as read out: what is shown, with "\n" for each line break.
QString spokenText(const QString &labelText);

} // namespace accessibility
