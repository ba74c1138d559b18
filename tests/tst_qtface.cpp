// The Qt face: what only the widgets can get wrong. The routines behind them are the
// core's and are tested there.
#include "TestSupport.h"

#include "IntervalTimer.h"
#include "MainWindow.h"
#include "MessageBoxReporter.h"
#include "PhraseLabel.h"
#include "common/ErrorReporter.h"
#include "phrases/RandomSource.h"
#include "services/SystemServices.h"

#include <QAccessible>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

struct Recorder : ErrorReporter
{
    QStringList messages;
    void report(const std::u16string &message) override { messages.append(QString::fromStdU16String(message)); }
};

// Counts the phrases drawn: one draw for each.
struct CountingRandom : phrases::RandomSource
{
    int draws = 0;
    void reseed() override {}
    float next() override { return float(draws++ % 7) / 7.0f; }
};

struct Services : SystemServices
{
    int opened = 0;
    void playSound(const std::filesystem::path &) override {}
    void openAddress(const std::string &, std::uintptr_t) override { ++opened; }
};

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
    Recorder reporter;
    Services services;
    CountingRandom random;
    std::unique_ptr<MainWindow> window;

    explicit Shown(const QByteArray &phrases = sample("cazzate.txt"), const QByteArray &photo = sample("foto.jpg"))
    {
        folder.write("cazzate.txt", phrases);
        if (!photo.isEmpty())
            folder.write("foto.jpg", photo);
        Environment environment;
        environment.reporter = &reporter;
        environment.services = &services;
        environment.random = &random;
        const std::filesystem::path path = folder.path().toStdU16String();
        environment.applicationFolder = [path] { return path; };
        window = std::make_unique<MainWindow>(environment);
        window->form().Form_Load();
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qFatal("the window was never exposed");
    }
    template<typename T = QWidget>
    T *control(const char *name) { return window->findChild<T *>(QLatin1String(name)); }
};

// Compares a picture with its reviewed reference; with CIARLA_UPDATE_REFERENCES=1 it
// (re)writes the reference instead. A mismatch leaves the picture and its differences,
// in red, beside the build.
QString differsFromReference(const QImage &picture, const QString &name)
{
    const QImage actual = picture.convertToFormat(QImage::Format_ARGB32);
    const QString reference = qEnvironmentVariable("CIARLA_REFERENCES") + QLatin1Char('/') + name + ".png";
    if (qEnvironmentVariable("CIARLA_UPDATE_REFERENCES") == QLatin1String("1"))
        return actual.save(reference) ? QString() : "cannot write " + reference;
    const QImage expected = QImage(reference).convertToFormat(QImage::Format_ARGB32);
    QImage diff = actual.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_ARGB32);
    int differing = expected.size() == actual.size() ? 0 : actual.width() * actual.height();
    for (int y = 0; expected.size() == actual.size() && y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            const QRgb a = actual.pixel(x, y), e = expected.pixel(x, y);
            // Within a small tolerance: antialiasing may shift a little between machines.
            if (std::max({std::abs(qRed(a) - qRed(e)), std::abs(qGreen(a) - qGreen(e)), std::abs(qBlue(a) - qBlue(e)),
                          std::abs(qAlpha(a) - qAlpha(e))}) > 48 && ++differing)
                diff.setPixel(x, y, qRgb(255, 0, 0));
        }
    }
    if (differing == 0)
        return {};
    const QString failed = qEnvironmentVariable("CIARLA_REFERENCES_FAILED") + QLatin1Char('/') + name;
    QDir().mkpath(QFileInfo(failed).path());
    actual.save(failed + ".actual.png");
    diff.save(failed + ".diff.png");
    return QStringLiteral("%1 pixels differ from %2; see %3.actual.png and %3.diff.png").arg(differing).arg(reference, failed);
}

#define VERIFY_LOOKS_LIKE(picture, name) \
    do { \
        const QString why = differsFromReference(picture, name); \
        QVERIFY2(why.isEmpty(), qPrintable(why)); \
    } while (false)

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

const QByteArray LongPhrase = "Se la montagna non va da Maometto, Maometto prende la funivia, paga il biglietto intero, "
                              "si lamenta del prezzo e scende alla prima stazione per un panino./nMorale: chi va piano va "
                              "sano e va lontano, ma chi va forte arriva prima e trova ancora i posti a sedere sul treno "
                              "delle sei, quello che non parte mai in orario, come tutti sanno da sempre.";

// Larger than the photo's frame, with a border and a cross that a crop or a scale would lose.
QByteArray largePhoto()
{
    QImage photo(420, 260, QImage::Format_RGB32);
    photo.fill(QColor(40, 90, 160));
    QPainter painter(&photo);
    painter.setPen(QPen(QColor(230, 60, 40), 6));
    painter.drawRect(photo.rect().adjusted(3, 3, -4, -4));
    painter.drawLine(photo.rect().topLeft(), photo.rect().bottomRight());
    painter.drawLine(photo.rect().bottomLeft(), photo.rect().topRight());
    painter.end();
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    photo.save(&buffer, "JPEG", 95);
    return jpeg;
}

} // namespace

class tst_QtFace : public QObject
{
    Q_OBJECT

private slots:
    // The widgets' own stacking must give what the layout's rule gives, everywhere.
    void stackingAgreesWithTheLayout()
    {
        Shown shown;
        int checked = 0;
        for (int y = 0; y < layout::WindowSize.height; y += 3) {
            for (int x = 0; x < layout::WindowSize.width; x += 3) {
                const QWidget *widget = shown.window->childAt(x, y);
                const layout::Control control = layout::hitTest({x, y}, {shown.control("imgCazzaro")->width(),
                                                                         shown.control("imgCazzaro")->height()});
                const QString expected = control == layout::Control::None ? QString() : QLatin1String(layout::of(control).name);
                if ((widget ? widget->objectName() : QString()) != expected)
                    QFAIL(qPrintable(QStringLiteral("at %1,%2: %3 instead of %4")
                                         .arg(x).arg(y).arg(widget ? widget->objectName() : QStringLiteral("none"), expected)));
                ++checked;
            }
        }
        QVERIFY(checked > 10000);
    }

    void clicksThroughTheRealEventPath_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<bool>("releasedOutside");
        QTest::addColumn<int>("runs");
        QTest::newRow("link, a click") << "Image2" << false << false << 1;
        QTest::newRow("link, a double click") << "Image2" << true << false << 1;
        QTest::newRow("link, released outside") << "Image2" << false << true << 0;
        QTest::newRow("photo, a double click") << "imgCazzaro" << true << false << 1;
        QTest::newRow("photo, released outside") << "imgCazzaro" << false << true << 0;
    }
    void clicksThroughTheRealEventPath()
    {
        QFETCH(QString, control);
        QFETCH(bool, doubleClick);
        QFETCH(bool, releasedOutside);
        QFETCH(int, runs);
        Shown shown;
        QWidget *target = shown.control(qPrintable(control));
        const QPoint middle = target->rect().center();
        const int drawsBefore = shown.random.draws;
        if (doubleClick) {
            // The events a double click brings: press, release, double click, release.
            QTest::mouseClick(target, Qt::LeftButton, {}, middle);
            QTest::mouseDClick(target, Qt::LeftButton, {}, middle);
            QTest::mouseRelease(target, Qt::LeftButton, {}, middle);
        } else if (releasedOutside) {
            QTest::mousePress(target, Qt::LeftButton, {}, middle);
            QTest::mouseRelease(target, Qt::LeftButton, {}, QPoint(-5, -5));
        } else {
            QTest::mouseClick(target, Qt::LeftButton, {}, middle);
        }
        const int ran = control == QLatin1String("Image2") ? shown.services.opened : shown.random.draws - drawsBefore;
        QCOMPARE(ran, runs);
    }

    // Every sample phrase shows whole, through the real click: drawn smaller where its own
    // size would cut it, never below 6 points.
    void everySamplePhraseFits()
    {
        Shown shown("one line");
        auto *label = shown.control<PhraseLabel>("Label1");
        QList<QByteArray> lines = sample("cazzate.txt").split('\n');
        if (lines.last().isEmpty())
            lines.removeLast(); // after the last line's end
        int drawnSmaller = 0;
        for (const QByteArray &line : lines) {
            shown.folder.write("cazzate.txt", line); // a click reads the file afresh
            shown.window->form().click(layout::Control::Label1);
            drawnSmaller += label->drawnPointSize() < label->requestedPointSize();
            QVERIFY2(label->drawnPointSize() >= 6.0f, line.constData());
            const QString drawn = label->visibleLines().join(QString()).remove(QChar::LineSeparator);
            const QString whole = shownWithoutBreaks(QString::fromUtf8(line.endsWith('\r') ? line.chopped(1) : line).left(360));
            QCOMPARE(drawn.simplified().remove(QLatin1Char(' ')), whole.simplified().remove(QLatin1Char(' ')));
        }
        qInfo("%d of %d sample phrases are drawn smaller than their own size to show whole", drawnSmaller,
              int(lines.size()));
    }

    void windowLooksAsDesigned_data()
    {
        QTest::addColumn<QByteArray>("phrases");
        QTest::addColumn<QByteArray>("photo");
        QTest::addColumn<QRect>("part");
        QTest::addColumn<QString>("spokenFrom4To9");
        const QRect window(0, 0, 550, 304), balloon(160, 32, 335, 139);
        QTest::newRow("sample") << QByteArray("Chi dorme non piglia pesci, ma almeno non puzza di pesce.")
                                << sample("foto.jpg") << window << "dorme";
        QTest::newRow("long-phrase") << LongPhrase << sample("foto.jpg") << balloon << "a mon";
        QTest::newRow("ampersands") << QByteArray("Pane &e vino && formaggio/n&&A capo&&& fine &") << sample("foto.jpg")
                                    << balloon << " e vi";
        QTest::newRow("large-photo") << LongPhrase << largePhoto() << window << "a mon";
        QTest::newRow("no-photo") << QByteArray("Nessuna foto") << QByteArray() << window << "una f";
    }
    void windowLooksAsDesigned()
    {
        QFETCH(QByteArray, phrases);
        QFETCH(QByteArray, photo);
        QFETCH(QRect, part);
        QFETCH(QString, spokenFrom4To9);
        Shown shown(phrases, photo);
        QCOMPARE(shown.reporter.messages.size(), photo.isEmpty() ? 1 : 0);
        const QRect screen = shown.window->screen()->availableGeometry();
        QCOMPARE(shown.window->geometry(), QRect(screen.x() + (screen.width() - 550) / 2,
                                                 screen.y() + (screen.height() - 304) / 2, 550, 304));
        QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(shown.control("Label1"));
        QCOMPARE(reader->textInterface()->text(4, 9), spokenFrom4To9);
        VERIFY_LOOKS_LIKE(shown.window->grab(part).toImage(), QTest::currentDataTag());
    }

    void creditsBox_data()
    {
        QTest::addColumn<int>("ticks"); // -1: never clicked
        QTest::newRow("credits-idle") << -1;
        QTest::newRow("credits-one-tick") << 1;
        QTest::newRow("credits-whole-turn") << 0; // as many as the text has characters
    }
    void creditsBox()
    {
        QFETCH(int, ticks);
        Shown shown;
        if (ticks >= 0) {
            QTest::mouseClick(shown.control("Label2"), Qt::LeftButton, {}, QPoint(28, 12));
            auto *timer = shown.window->findChild<IntervalTimer *>("Timer1");
            QVERIFY(timer->isTicking());
            QCOMPARE(timer->interval(), 200);
            timer->setEnabled(false); // the ticks below are the test's own
            for (int i = 0, n = ticks ? ticks : int(shown.window->creditsText().size()); i < n; ++i)
                emit timer->timeout();
        }
        VERIFY_LOOKS_LIKE(shown.window->grab(QRect(290, 250, 214, 30)).toImage(), QTest::currentDataTag());
    }

    void pointers_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("pointer"); // empty for the arrow, else its picture
        QTest::addColumn<QPoint>("hotSpot");
        QTest::addColumn<bool>("tooltip");
        QTest::newRow("Image2") << "Image2" << "pointer-hand" << QPoint(13, 4) << false;
        QTest::newRow("Label2") << "Label2" << "pointer-hand" << QPoint(13, 4) << false;
        QTest::newRow("imgClose") << "imgClose" << "pointer-hand" << QPoint(13, 4) << false;
        QTest::newRow("Label1") << "Label1" << "pointer-icon" << QPoint(16, 16) << true;
        QTest::newRow("imgCazzaro") << "imgCazzaro" << "pointer-icon" << QPoint(16, 16) << true;
        QTest::newRow("imgFumetto") << "imgFumetto" << "pointer-icon" << QPoint(16, 16) << true;
        QTest::newRow("Image1") << "Image1" << QString() << QPoint() << false;
        QTest::newRow("txtCrediti") << "txtCrediti" << QString() << QPoint() << false;
    }
    void pointers()
    {
        QFETCH(QString, control);
        QFETCH(QString, pointer);
        QFETCH(QPoint, hotSpot);
        QFETCH(bool, tooltip);
        Shown shown;
        const QWidget *widget = shown.control(qPrintable(control));
        QCOMPARE(widget->toolTip(), tooltip ? QStringLiteral("Clicca qui per una nuova cazzata !") : QString());
        const QCursor cursor = widget->cursor();
        QCOMPARE(cursor.shape(), pointer.isEmpty() ? Qt::ArrowCursor : Qt::BitmapCursor);
        if (!pointer.isEmpty()) {
            QCOMPARE(cursor.hotSpot(), hotSpot);
            VERIFY_LOOKS_LIKE(cursor.pixmap().toImage(), pointer);
        }
    }

    void photoSizeCheck_data()
    {
        QTest::addColumn<int>("limitMegabytes");
        QTest::addColumn<int>("side");
        QTest::addColumn<QString>("report");
        QTest::newRow("sample photo, no limit") << 0 << 0 << QString();
        QTest::newRow("sample photo, default limit") << 128 << 0 << QString();
        QTest::newRow("too large for the limit") << 128 << 20000
                                                 << "Error \"Picture too large: 20000 x 20000 pixels\" in Form_Load() routine";
    }
    void photoSizeCheck()
    {
        QFETCH(int, limitMegabytes);
        QFETCH(int, side);
        QFETCH(QString, report);
        const int before = QImageReader::allocationLimit();
        QImageReader::setAllocationLimit(limitMegabytes);
        Shown shown;
        if (side) {
            // One bit a pixel keeps the test small; the reader would want four bytes.
            QImage huge(side, side, QImage::Format_Mono);
            huge.fill(0);
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            huge.save(&buffer, "PNG");
            shown.folder.write("foto.jpg", png);
            shown.reporter.messages.clear();
            shown.window->form().Form_Load();
        }
        QImageReader::setAllocationLimit(before);
        QCOMPARE(shown.reporter.messages.join(QLatin1Char('|')), report);
    }

    void messageBoxes_data()
    {
        QTest::addColumn<QString>("message");
        QTest::newRow("box-routine") << "Error \"No such file or directory\" in ContaRighe() routine";
        QTest::newRow("box-function-markup") << "Error \"<b>x</b> &amp; &y\" in Cambia() function";
    }
    void messageBoxes()
    {
        QFETCH(QString, message);
        MessageBoxReporter reporter;
        QImage picture;
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        // Only notes what it sees and closes the box: a check failing in here would leave it open.
        QTimer::singleShot(0, this, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                picture = box->grab().toImage();
                title = box->windowTitle();
                text = box->text();
                icon = box->icon();
                buttons = box->standardButtons();
            }
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        reporter.report(message.toStdU16String());
        QCOMPARE(title, QStringLiteral("Ciarlatronix"));
        QCOMPARE(text, message);
        QCOMPARE(icon, QMessageBox::Critical);
        QCOMPARE(buttons, QMessageBox::Ok);
        VERIFY_LOOKS_LIKE(picture, QTest::currentDataTag());
    }
};

QTEST_MAIN(tst_QtFace)
#include "tst_qtface.moc"
