// The credits ticker and the two services: the start-up sound and the home-page link.
#include "WindowFixture.h"

#include "common/ProgramInfo.h"
#include "services/modFunzioni.h"
#include "ui/CreditsText.h"
#include "ui/IntervalTimer.h"
#include "ui/Ticker.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// Fails every call, as an unreachable system library would.
class BrokenServices : public SystemServices
{
public:
    void playSound(const QString &) override { throw std::runtime_error("The specified module could not be found"); }
    void openAddress(const QString &, WId) override { throw std::runtime_error("Access is denied"); }
};

QString afterTicks(frmCiarlatronix &window, int ticks)
{
    for (int i = 0; i < ticks; ++i)
        window.Timer1_Timer();
    return window.findChild<QLineEdit *>(QStringLiteral("txtCrediti"))->text();
}

} // namespace

class TestCredits : public QObject
{
    Q_OBJECT

private slots:
    void rotatesByOneCharacter_data();
    void rotatesByOneCharacter();
    void buildsTheCreditsText();
    void idlesUntilCreditsIsClicked();
    void startsScrollingOnAClick();
    void scrollsKTicksAndComesBack_data();
    void scrollsKTicksAndComesBack();
    void restartsOnASecondClick();
    void leavesShortTextsAlone_data();
    void leavesShortTextsAlone();
    void ticksEvery200Milliseconds();

    void playsTheStartUpSoundFromTheProgramFolder();
    void reportsASoundServiceThatFails();
    void opensTheHomePageOnEveryClick();
    void reportsALinkServiceThatFails();
};

void TestCredits::rotatesByOneCharacter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("turned");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("one character") << "L" << "L";
    QTest::newRow("two") << "ab" << "ba";
    QTest::newRow("credits start") << "Lo Ciarlatronix 1.0 - " << "o Ciarlatronix 1.0 - L";
    QTest::newRow("by 16-bit units") << QStringLiteral(u"😀x") << QString::fromUtf16(u"\xDE00x\xD83D");
}

void TestCredits::rotatesByOneCharacter()
{
    QFETCH(QString, text);
    QFETCH(QString, turned);
    QCOMPARE(ticker::rotateLeft(text), turned);
}

void TestCredits::buildsTheCreditsText()
{
    const QStringList labels = {"Lo Ciarlatronix 1.0",
                                "Realizzato da ",
                                "Linguaggio di programmazione: ",
                                "Dialetto di programmazione: ",
                                "Grafica: ",
                                "Font logo: ",
                                "Font link: ",
                                "Canzoncina stupenda di sottofondo: ",
                                "Scopo del programma: ",
                                "Homepage: "};
    const QStringList segments = credits::segments();
    QCOMPARE(segments.size(), labels.size());
    for (int i = 0; i < labels.size(); ++i) {
        QVERIFY2(segments.at(i).startsWith(labels.at(i)), qPrintable(segments.at(i)));
        QVERIFY2(!segments.at(i).contains(QLatin1String(" - ")), qPrintable(segments.at(i)));
        if (i > 0)
            QVERIFY2(segments.at(i).size() > labels.at(i).size(), qPrintable(segments.at(i)));
    }
    QCOMPARE(segments.first(), QStringLiteral("Lo Ciarlatronix 1.0"));
    QCOMPARE(segments.last(), QStringLiteral("Homepage: ") + QLatin1String(program::HomePage));
    const QString text = credits::text();
    QCOMPARE(text, segments.join(QStringLiteral(" - ")) + QStringLiteral(" - "));
    QVERIFY(!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')));
    qInfo("credits: %d characters, one turn in %.1f s", int(text.size()), text.size() * 0.2);
}

void TestCredits::idlesUntilCreditsIsClicked()
{
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.load();
    QTest::qWait(250);
    QCOMPARE(fixture.credits()->text(), QStringLiteral("Credits"));
    QCOMPARE(fixture.credits()->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
    QVERIFY(!fixture.timer()->isTicking());
}

void TestCredits::startsScrollingOnAClick()
{
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.load();
    fixture.clickAt(QPoint(396, 268));
    const QString credits = credits::text();
    QCOMPARE(fixture.credits()->text(), credits);
    QVERIFY(fixture.timer()->isEnabled());
    QCOMPARE(fixture.timer()->interval(), 200);
    QVERIFY(fixture.timer()->isTicking());

    QCOMPARE(afterTicks(*fixture.window, 1), credits.mid(1) + credits.at(0));
    QVERIFY(fixture.credits()->text().startsWith(QLatin1String("o Ciarlatronix 1.0")));
    QVERIFY(fixture.credits()->text().endsWith(QLatin1Char('L')));
    QCOMPARE(fixture.credits()->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
    // The box shows the start of the text, not its end.
    QCOMPARE(fixture.credits()->cursorPosition(), 0);
}

void TestCredits::scrollsKTicksAndComesBack_data()
{
    QTest::addColumn<int>("ticks");
    const int n = int(credits::text().size());
    for (int k : {0, 1, 2, 50, n - 1, n, n + 3})
        QTest::addRow("%d ticks", k) << k;
}

void TestCredits::scrollsKTicksAndComesBack()
{
    QFETCH(int, ticks);
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.load();
    fixture.window->Label2_Click();
    const QString credits = credits::text();
    const int k = ticks % int(credits.size());
    QCOMPARE(afterTicks(*fixture.window, ticks), credits.mid(k) + credits.left(k));
    QCOMPARE(fixture.reporter.messages, QStringList());
}

void TestCredits::restartsOnASecondClick()
{
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.load();
    fixture.window->Label2_Click();
    afterTicks(*fixture.window, 17);
    fixture.window->Label2_Click();
    QCOMPARE(fixture.credits()->text(), credits::text());
    QVERIFY(fixture.timer()->isTicking());
    QCOMPARE(fixture.timer()->interval(), 200);
}

void TestCredits::leavesShortTextsAlone_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("one character") << QStringLiteral("x");
}

void TestCredits::leavesShortTextsAlone()
{
    QFETCH(QString, text);
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.load();
    fixture.credits()->setText(text);
    QCOMPARE(afterTicks(*fixture.window, 3), text);
    QCOMPARE(fixture.reporter.messages, QStringList());
}

void TestCredits::ticksEvery200Milliseconds()
{
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.load();
    QSignalSpy ticks(fixture.timer(), &IntervalTimer::timeout);
    fixture.window->Label2_Click();
    QVERIFY(ticks.wait(1000));
    QCOMPARE(fixture.credits()->text(), afterTicks(*fixture.window, 0));
    QVERIFY(fixture.credits()->text() != credits::text());
}

void TestCredits::playsTheStartUpSoundFromTheProgramFolder()
{
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.folder.remove("audio.wav");
    fixture.load();
    // The path is handed over whether or not the file is there; silence is the player's business.
    QCOMPARE(fixture.services.played, QStringList{fixture.folder.file("audio.wav")});
    QCOMPARE(fixture.reporter.messages, QStringList());
}

void TestCredits::reportsASoundServiceThatFails()
{
    RecordingReporter reporter;
    BrokenServices services;
    modFunzioni::API_PlaySound(QStringLiteral("/x/audio.wav"), services, reporter);
    QCOMPARE(reporter.messages,
             QStringList{QStringLiteral("Error \"The specified module could not be found\" in API_PlaySound() routine")});
}

void TestCredits::opensTheHomePageOnEveryClick()
{
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.load();
    fixture.clickAt(QPoint(90, 60));
    fixture.clickAt(QPoint(90, 60));
    const QString home = QLatin1String(program::HomePage);
    QCOMPARE(fixture.services.opened, QStringList({home, home}));
    QCOMPARE(fixture.services.owners.first(), fixture.window->winId());
    QVERIFY(home.startsWith(QLatin1String("http://")));
}

void TestCredits::reportsALinkServiceThatFails()
{
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.load();
    BrokenServices broken;
    Environment environment;
    environment.reporter = &fixture.reporter;
    environment.random = &fixture.random;
    environment.services = &broken;
    environment.applicationFolder = [&] { return fixture.folder.path(); };
    frmCiarlatronix window(environment);
    window.Form_Load();
    window.Image2_Click();
    QCOMPARE(fixture.reporter.messages,
             QStringList({QStringLiteral("Error \"The specified module could not be found\" in API_PlaySound() routine"),
                          QStringLiteral("Error \"Access is denied\" in Image2_Click() routine")}));
}

QTEST_MAIN(TestCredits)
#include "tst_credits.moc"
