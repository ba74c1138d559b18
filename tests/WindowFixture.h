#pragma once

#include "TestSupport.h"

#include "app/frmCiarlatronix.h"

#include <QLabel>
#include <QLineEdit>

#include <memory>

class IntervalTimer;
class PhraseLabel;
class PictureBox;

// A window on a scratch folder, with every report, draw and service call recorded.
struct WindowFixture
{
    TestFolder folder;
    RecordingReporter reporter;
    ScriptedRandom random;
    RecordingServices services;
    std::int32_t lineLimit = 2147483647;
    std::unique_ptr<frmCiarlatronix> window;

    // The sample files: three phrases, a 120 x 160 photo and a (silent) sound.
    void writeSamples();
    frmCiarlatronix &create();
    // Creates the window and runs its start-up sequence.
    frmCiarlatronix &load();

    template<typename T = QWidget>
    T *control(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    PhraseLabel *label1() const;
    QLineEdit *credits() const { return control<QLineEdit>("txtCrediti"); }
    IntervalTimer *timer() const;
    PictureBox *picture(const char *name) const;
    QString phrase() const;
    float phraseSize() const;

    // A real click at window coordinates, found by the window system like a user's.
    void clickAt(const QPoint &position) const;
};
