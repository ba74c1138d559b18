// The Qt face: what only the widgets can get wrong. The routines behind them are the
// core's and are tested there.
#include "Fakes.h"
#include "Places.h"

#include "IntervalTimer.h"
#include "MainWindow.h"
#include "MessageBoxReporter.h"
#include "PhraseLabel.h"
#include "PlatformChoice.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

QByteArray sample(const char *name)
{
    QFile file(qEnvironmentVariable("CIARLA_SAMPLES") + QLatin1Char('/') + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("no sample %s", name);
    return file.readAll();
}

struct Shown
{
    TestFolder folder;
    RecordingReporter reporter;
    RecordingServices services;
    ScriptedRandom random;
    std::unique_ptr<MainWindow> window;

    explicit Shown(const QByteArray &phrases = sample("cazzate.txt"), const QByteArray &photo = sample("foto.jpg"))
    {
        folder.write("cazzate.txt", phrases.toStdString());
        if (!photo.isEmpty())
            folder.write("foto.jpg", photo.toStdString());
        random.draws = {0.0f}; // its position counts the draws
        Environment environment;
        environment.reporter = &reporter;
        environment.services = &services;
        environment.applicationFolder = [this] { return folder.path(); };
        environment.random = &random;
        window = std::make_unique<MainWindow>(std::move(environment));
        window->form().Form_Load();
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qFatal("the window was never exposed");
    }
    template<typename T = QWidget>
    T *control(const char *name) { return window->findChild<T *>(QLatin1String(name)); }
};

// Compares a picture with its reviewed reference, within a tolerance for antialiasing, or with
// CIARLA_UPDATE_REFERENCES=1 (re)writes the reference. A mismatch is left beside the build.
void verifyLooksLike(const QImage &picture, const QString &name)
{
    const QImage actual = picture.convertToFormat(QImage::Format_ARGB32);
    const QString reference = qEnvironmentVariable("CIARLA_REFERENCES") + QLatin1Char('/') + name + ".png";
    if (qEnvironmentVariable("CIARLA_UPDATE_REFERENCES") == QLatin1String("1")) {
        QVERIFY2(actual.save(reference), qPrintable(reference));
        return;
    }
    const QImage expected = QImage(reference).convertToFormat(QImage::Format_ARGB32);
    QImage diff = actual.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_ARGB32);
    const bool sameSize = expected.size() == actual.size();
    const auto *a = reinterpret_cast<const QRgb *>(actual.constBits()), *e = reinterpret_cast<const QRgb *>(expected.constBits());
    auto *d = reinterpret_cast<QRgb *>(diff.bits()), *end = d + (sameSize ? actual.width() * actual.height() : 0);
    for (qsizetype i = 0; d + i < end; ++i)
        for (int shift : {0, 8, 16, 24})
            if (std::abs(int(a[i] >> shift & 0xFF) - int(e[i] >> shift & 0xFF)) > 48)
                d[i] = qRgb(255, 0, 0); // never a grey
    const qsizetype differing = sameSize ? std::count(d, end, qRgb(255, 0, 0)) : -1;
    const QString failed = qEnvironmentVariable("CIARLA_REFERENCES_FAILED") + QLatin1Char('/') + name;
    if (differing != 0 && QDir().mkpath(QFileInfo(failed).path()) && actual.save(failed + ".actual.png"))
        diff.save(failed + ".diff.png");
    QVERIFY2(differing == 0, qPrintable(QStringLiteral("%1 pixels differ from %2 (-1: its size); see %3.actual.png, %3.diff.png")
                                            .arg(differing).arg(reference, failed)));
}

// What a phrase shows, line breaks left out: "/n" breaks the line, "&x" shows x, "&&" shows "&".
QString shownWithoutBreaks(const QString &phrase)
{
    QString shown;
    for (qsizetype i = 0; i < phrase.size(); ++i) {
        if (phrase.mid(i, 2) == QLatin1String("/n") || (phrase.at(i) == u'&' && ++i == phrase.size()))
            ++i;
        else
            shown.append(phrase.at(i));
    }
    return shown;
}

const QByteArray LongPhrase = "Se la montagna non va da Maometto, Maometto prende la funivia, paga il biglietto intero, si lamenta "
                              "del prezzo e scende alla prima stazione per un panino./nMorale: chi va piano va sano e va lontano, ma "
                              "chi va forte arriva prima e trova ancora i posti a sedere sul treno delle sei, quello che non parte "
                              "mai in orario, come tutti sanno da sempre.";

// creditsTicks -1: never clicked, 0: as many as the text has characters; tabs: before the picture.
struct Look { QByteArray phrases, photo; QRect part; QString spokenFrom4To9; int creditsTicks = -1, tabs = 0; };

} // namespace

class tst_QtFace : public QObject
{
    Q_OBJECT

private slots:
    // Through the real event path: press, release (where), double click; what runs.
    void clicksThroughTheRealEventPath()
    {
        const struct { const char *control, *gesture; int runs; } rows[] = {
            {"Image2", "click", 1},      {"Image2", "double click", 1},     {"Image2", "released outside", 0},
            {"imgCazzaro", "double click", 1}, {"imgCazzaro", "released outside", 0}, {"Label1", "right button", 0},
        };
        for (const auto &row : rows) {
            Shown shown;
            QWidget *target = shown.control(row.control);
            const QPoint middle = target->rect().center();
            if (row.gesture == QLatin1String("double click")) // the events it brings: press, release, double click, release
                QTest::mouseClick(target, Qt::LeftButton, {}, middle), QTest::mouseDClick(target, Qt::LeftButton, {}, middle),
                    QTest::mouseRelease(target, Qt::LeftButton, {}, middle);
            else if (row.gesture == QLatin1String("released outside"))
                QTest::mousePress(target, Qt::LeftButton, {}, middle), QTest::mouseRelease(target, Qt::LeftButton, {}, QPoint(-5, -5));
            else
                QTest::mouseClick(target, row.gesture == QLatin1String("click") ? Qt::LeftButton : Qt::RightButton, {}, middle);
            const bool link = row.control == QLatin1String("Image2"); // one draw at start-up
            QVERIFY2(int(link ? shown.services.opened.size() : shown.random.position - 1) == row.runs,
                     QByteArray(row.control) + ", " + row.gesture);
        }
    }

    // Phrases clicked up one after another, the samples after a table of changes: each is
    // fitted afresh, at the size its length asks for, Int((360 - length) * 8 / 360) + 8, drawn
    // smaller (not below 6 points) only if it must and as a fresh label draws it; samples show whole.
    void everySamplePhraseFits()
    {
        const QByteArray words = QByteArray("Parole corte in fila, ").repeated(15), breaks = QByteArray("Riga/n").repeated(55);
        const QByteArrayList table = {"Corto.", LongPhrase, "Corto.", "", LongPhrase, LongPhrase, words, breaks, words,
                                      LongPhrase.left(100), "Un po' meno corto.", breaks.left(90), breaks.left(93)};
        const QByteArrayList phrases = table + sample("cazzate.txt").trimmed().split('\n'); // no line after the last end
        Shown shown("one line");
        auto *label = shown.control<PhraseLabel>("Label1");
        for (qsizetype i = 0; i < phrases.size(); ++i) {
            shown.folder.write("cazzate.txt", phrases[i].toStdString()); // a click reads the file afresh
            shown.window->form().click(layout::Control::Label1);
            const QString phrase = QString::fromUtf8(phrases[i].endsWith('\r') ? phrases[i].chopped(1) : phrases[i]);
            QCOMPARE(label->requestedPointSize(), float(int((360 - std::min<int>(phrase.size(), 360)) * 8 / 360) + 8));
            QCOMPARE(label->font().pointSizeF(), label->requestedPointSize());
            PhraseLabel fresh;
            fresh.setFont(label->font()), fresh.setPalette(label->palette()), fresh.resize(label->size());
            fresh.setText(label->text()), fresh.setPointSize(label->requestedPointSize());
            QCOMPARE(label->drawnPointSize(), fresh.drawnPointSize());
            QVERIFY2(label->grab().toImage() == fresh.grab().toImage() && label->drawnPointSize() >= 6.0f, phrases[i].constData());
            QVERIFY(phrase.size() > 20 || label->drawnPointSize() == label->requestedPointSize()); // short ones fit
            const QString drawn = label->visibleLines().join(QString()).remove(QChar::LineSeparator);
            if (i >= table.size())
                QCOMPARE(drawn.simplified().remove(QLatin1Char(' ')), shownWithoutBreaks(phrase.left(360)).simplified().remove(QLatin1Char(' ')));
        }
    }

    void windowLooksAsDesigned_data()
    {
        QTest::addColumn<Look>("look");
        const QRect window(0, 0, 550, 304), balloon(160, 32, 335, 139), credits(290, 250, 214, 30);
        const QByteArray phrase = "Chi dorme non piglia pesci, ma almeno non puzza di pesce.", photo = sample("foto.jpg");
        QTest::newRow("sample") << Look{phrase, photo, window, "dorme"};
        QTest::newRow("long-phrase") << Look{LongPhrase, photo, balloon, "a mon"};
        QTest::newRow("ampersands") << Look{"Pane &e vino && cacio/n&&A capo&&& fine &", photo, balloon, " e vi"};
        // A PNG, whatever its name, takes the reader's other path.
        QTest::newRow("large-photo") << Look{LongPhrase, sample("../tests/data/foto-420x260.png"), window, "a mon"};
        QTest::newRow("no-photo") << Look{"Nessuna foto, precipitevolissimevolmentissimo", QByteArray(), window, "una f"};
        QTest::newRow("credits-idle") << Look{phrase, photo, credits, "dorme"};
        QTest::newRow("credits-one-tick") << Look{phrase, photo, credits, "dorme", 1};
        QTest::newRow("credits-whole-turn") << Look{phrase, photo, credits, "dorme", 0};
        QTest::newRow("focus-phrase") << Look{phrase, photo, balloon, "dorme", -1, 4}; // round the ring
        QTest::newRow("focus-credits") << Look{phrase, photo, QRect(360, 248, 73, 41), "dorme", -1, 1};
        QTest::newRow("focus-close") << Look{phrase, photo, QRect(520, 0, 30, 24), "dorme", -1, 3}; // at the window's edge
    }
    void windowLooksAsDesigned()
    {
        QFETCH(Look, look);
        Shown shown(look.phrases, look.photo);
        QCOMPARE(int(shown.reporter.messages.size()), look.photo.isEmpty() ? 1 : 0);
        QVERIFY(shown.window->windowTitle().isEmpty());
        QCOMPARE(shown.window->minimumSize(), shown.window->maximumSize());
        const QRect screen = shown.window->screen()->availableGeometry();
        QCOMPARE(shown.window->geometry(), QRect(screen.x() + (screen.width() - 550) / 2,
                                                 screen.y() + (screen.height() - 304) / 2, 550, 304));
        QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(shown.control("Label1"));
        QCOMPARE(reader->textInterface()->text(4, 9), look.spokenFrom4To9);
        if (look.creditsTicks >= 0) {
            QWidget *credits = shown.window->childAt(396, 266); // the word "Credits", as a user clicks it
            QTest::mouseClick(credits, Qt::LeftButton, {}, credits->mapFrom(shown.window.get(), QPoint(396, 266)));
            auto *timer = shown.window->findChild<IntervalTimer *>("Timer1");
            QVERIFY(timer->isTicking());
            QCOMPARE(timer->interval(), 200);
            timer->setEnabled(false); // the ticks below are the test's own
            for (int i = 0, n = look.creditsTicks ? look.creditsTicks : int(shown.window->creditsText().size()); i < n; ++i)
                emit timer->timeout();
        }
        QTest::keyClicks(QApplication::focusWidget(), QString(look.tabs, u'\t'));
        verifyLooksLike(shown.window->grab(look.part).toImage(), QTest::currentDataTag());
    }

    // Through Qt's focus: Tab, Shift+Tab round the ring, Space, Enter press, a click moves it, a box keeps it.
    void keyboard()
    {
        const struct { const char *keys, *focused; int draws, opened; } steps[] = { // "": a click on the photo
            {"box", "Label1", 0, 0}, {"Space", "Label1", 1, 0}, {"Return", "Label1", 2, 0}, {"held", "Label1", 2, 0}, {"Tab", "Label2", 2, 0}, {"Tab", "Image2", 2, 0},
            {"box", "Image2", 2, 0}, {"Enter", "Image2", 2, 1}, {"Alt+Space", "Image2", 2, 1}, {"Ctrl+Tab", "Image2", 2, 1}, {"", "Label1", 3, 1},
            {"Shift+Backtab", "imgClose", 3, 1}, {"Shift+Tab", "Image2", 3, 1}, {"Tab", "imgClose", 3, 1}, {"Space", "", 3, 1}, // closed
        };
        Shown shown;
        MessageBoxReporter box;
        box.setOwner(shown.window.get());
        for (const auto &step : steps) {
            if (step.keys == QLatin1String("box")) // shown and answered, then the window active again as on a desktop
                QTimer::singleShot(0, this, [] { QApplication::activeModalWidget()->close(); }), box.report(u"x"), shown.window->activateWindow();
            else if (step.keys == QLatin1String("held")) // Space repeating while held down: no press
                for (bool press : {true, true, false})
                    QTest::simulateEvent(QApplication::focusWidget(), press, Qt::Key_Space, {}, QStringLiteral(" "), press);
            else
                *step.keys ? QTest::keySequence(QApplication::focusWidget(), QKeySequence(QLatin1String(step.keys)))
                           : QTest::mouseClick(shown.control("imgCazzaro"), Qt::LeftButton);
            QTRY_COMPARE(shown.window->isVisible() && QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : "", step.focused);
            QCOMPARE(QSize(int(shown.random.position), int(shown.services.opened.size())), QSize(step.draws + 1, step.opened));
        }
    }

    // The pointer and tooltip over each part of the window, from what lies on top there: the
    // hand's hot spot is at its fingertip, the icon's at its centre.
    void pointersAndTooltips()
    {
        const struct { QPoint at; const char *pointer; QPoint hotSpot; bool tooltip; } designed[] = {
            {{90, 70}, "pointer-hand", {13, 4}, false},    {{396, 262}, "pointer-hand", {13, 4}, false}, // link, "Credits"
            {{541, 10}, "pointer-hand", {13, 4}, false},   {{330, 90}, "pointer-icon", {16, 16}, true},  // close, phrase
            {{100, 200}, "pointer-icon", {16, 16}, true},  {{175, 40}, "pointer-icon", {16, 16}, true},  // photo, balloon
            {{450, 230}, nullptr, {}, false},              {{310, 268}, nullptr, {}, false},            // logo, credits box
            {{20, 150}, nullptr, {}, false},                                                             // backdrop
        };
        Shown shown;
        for (const auto &row : designed) {
            const QWidget *control = shown.window->childAt(row.at) ? shown.window->childAt(row.at) : shown.window.get();
            const QCursor pointer = control->cursor();
            const QByteArray where = QStringLiteral("at %1,%2").arg(row.at.x()).arg(row.at.y()).toLatin1();
            QVERIFY2(control->toolTip() == (row.tooltip ? "Clicca qui per una nuova cazzata !" : ""), where);
            QVERIFY2(pointer.shape() == (row.pointer ? Qt::BitmapCursor : Qt::ArrowCursor), where);
            QVERIFY2(!row.pointer || pointer.hotSpot() == row.hotSpot, where);
            if (row.pointer)
                verifyLooksLike(pointer.pixmap().toImage(), QLatin1String(row.pointer));
        }
    }

    // Every control where it was drawn, in pixels; also at twice the density (ctest runs this
    // again with QT_SCALE_FACTOR=2), where each picture carries twice its pixels.
    void controlsInTheirPlaces()
    {
        Shown shown;
        QCOMPARE(shown.window->size(), QSize(WindowWidth, WindowHeight));
        for (const Place &place : Places)
            QVERIFY2(shown.control(place.control)->geometry() == QRect(place.x, place.y, place.width, place.height), place.control);
    }

    // Wayland does not let a window place itself: X11 through XWayland, where there is one
    // and the user chose no platform. Every row of the rule, through the environment.
    void platformChoice()
    {
        const QByteArrayList x11 = {",wayland-0,,:0", ",wayland-0,x11,:0", ",wayland-0,wayland,:0", ",wayland-0,tty,:0",
                                    ",,wayland,:0"}; // chosen, WAYLAND_DISPLAY, XDG_SESSION_TYPE, DISPLAY
        const char *names[] = {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "DISPLAY"};
        for (const char *chosen : {"", "xcb", "wayland", "offscreen"})
            for (const char *wayland : {"", "wayland-0"})
                for (const char *session : {"", "x11", "wayland", "tty"})
                    for (const char *display : {"", ":0"})
                        for (bool unset : {true, false}) { // an empty value: the variable unset, or set empty
                            const QByteArray row = QByteArrayList{chosen, wayland, session, display}.join(',');
                            for (int i = 0; i < 4; ++i)
                                unset && row.split(',')[i].isEmpty() ? qunsetenv(names[i]) : qputenv(names[i], row.split(',')[i]);
                            platformchoice::preferX11OnWayland();
                            QVERIFY2(qgetenv(names[0]) == (x11.contains(row) ? "xcb" : chosen), row);
                        }
        qputenv(names[0], "offscreen");
    }

    // Read from the box itself, not its pixels: each Qt release draws its own box its own way.
    void messageBoxes()
    {
        Shown shown;
        for (const auto &[owned, message] : {std::pair{false, u"Error \"No such file or directory\" in ContaRighe() routine"},
                                             std::pair{true, u"Error \"<b>x</b> &amp; &y\" in Cambia() function"}}) {
            MessageBoxReporter reporter;
            if (owned)
                reporter.setOwner(shown.window.get());
            QStringList seen; // title, text, text as shown, icon, buttons, owner, modality
            // Only notes what it sees and closes the box: a check failing in here would leave it open.
            QTimer::singleShot(0, this, [&] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                    auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
                    seen = {box->windowTitle(), box->text(), label && label->textFormat() == Qt::PlainText ? label->text() : QString(),
                            QString::number(box->icon()), QString::number(box->standardButtons()) + QLatin1Char('/') + QString::number(box->buttons().size()),
                            box->parentWidget() == shown.window.get() ? QStringLiteral("owned") : box->parentWidget() ? QStringLiteral("other") : QStringLiteral("alone"),
                            box->isModal() ? QStringLiteral("modal") : QStringLiteral("modeless")};
                }
                if (QWidget *modal = QApplication::activeModalWidget())
                    modal->close();
            });
            reporter.report(message);
            const QString text = QString::fromStdU16String(message); // shown as it stands, markup and all
            QCOMPARE(seen, (QStringList{QStringLiteral("Ciarlatronix"), text, text, QString::number(QMessageBox::Critical),
                                        QString::number(QMessageBox::Ok) + QStringLiteral("/1"), owned ? QStringLiteral("owned") : QStringLiteral("alone"),
                                        QStringLiteral("modal")}));
        }
    }
};

QTEST_MAIN(tst_QtFace)
#include "tst_qtface.moc"
