#include "WindowFixture.h"

#include "ui/IntervalTimer.h"
#include "ui/PhraseLabel.h"
#include "ui/PictureBox.h"

#include <QTest>

void WindowFixture::writeSamples()
{
    folder.write("cazzate.txt", "prima\r\nseconda\r\nterza\r\n");
    folder.writePhoto("foto.jpg", 120, 160);
    folder.write("audio.wav", "RIFF");
}

frmCiarlatronix &WindowFixture::create()
{
    Environment environment;
    environment.reporter = &reporter;
    environment.random = &random;
    environment.services = &services;
    environment.applicationFolder = [this] { return folder.path(); };
    environment.lineLimit = lineLimit;
    window = std::make_unique<frmCiarlatronix>(environment);
    return *window;
}

frmCiarlatronix &WindowFixture::load()
{
    create();
    window->Form_Load();
    return *window;
}

PhraseLabel *WindowFixture::label1() const
{
    return control<PhraseLabel>("Label1");
}

IntervalTimer *WindowFixture::timer() const
{
    return window->findChild<IntervalTimer *>(QStringLiteral("Timer1"));
}

PictureBox *WindowFixture::picture(const char *name) const
{
    return control<PictureBox>(name);
}

QString WindowFixture::phrase() const
{
    return label1()->text();
}

float WindowFixture::phraseSize() const
{
    return float(label1()->font().pointSizeF());
}

void WindowFixture::clickAt(const QPoint &position) const
{
    if (!window->isVisible()) {
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qFatal("window not exposed");
    }
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, position);
}
