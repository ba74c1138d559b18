// The Qt face: what only the widgets can get wrong. The routines behind them are the
// core's and are tested there.
#include "TestSupport.h"

#include "MainWindow.h"
#include "MessageBoxReporter.h"
#include "PhraseLabel.h"
#include "common/ErrorReporter.h"
#include "phrases/RandomSource.h"
#include "services/SystemServices.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QMessageBox>
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

    Shown()
    {
        folder.write("cazzate.txt", sample("cazzate.txt"));
        folder.write("foto.jpg", sample("foto.jpg"));
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

    // Every sample phrase shows whole: drawn smaller where its own size would cut it.
    void everySamplePhraseFits()
    {
        Shown shown;
        auto *label = shown.control<PhraseLabel>("Label1");
        QList<QByteArray> lines = sample("cazzate.txt").split('\n');
        if (lines.last().isEmpty())
            lines.removeLast(); // after the last line's end
        int cutAtTheirOwnSize = 0;
        for (QByteArray line : lines) {
            if (line.endsWith('\r'))
                line.chop(1);
            QString phrase = QString::fromUtf8(line).left(360);
            phrase.replace(QLatin1String("/n"), QLatin1String("\r\n"));
            const float size = float(int((360 - phrase.size()) * 8 / 360.0) + 8);
            label->setPointSize(size);
            label->setText(phrase);
            if (label->drawnPointSize() < size)
                ++cutAtTheirOwnSize;
            QVERIFY2(label->drawnPointSize() >= 6.0f, qPrintable(phrase));
            QString drawn = label->visibleLines().join(QString());
            drawn.remove(QChar::LineSeparator);
            QString whole = phrase;
            whole.remove(QLatin1Char('\r')).remove(QLatin1Char('\n')).remove(QLatin1Char('&'));
            drawn.remove(QLatin1Char('&'));
            QCOMPARE(drawn.simplified().remove(QLatin1Char(' ')), whole.simplified().remove(QLatin1Char(' ')));
        }
        qInfo("%d of %d sample phrases are drawn smaller than their own size to show whole", cutAtTheirOwnSize,
              int(lines.size()));
    }

    void photoSizeCheck()
    {
        Shown shown;
        // One bit a pixel keeps the test small; the reader would want four bytes.
        QImage huge(20000, 20000, QImage::Format_Mono);
        huge.fill(0);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        huge.save(&buffer, "PNG");
        shown.folder.write("foto.jpg", png);
        shown.window->form().Form_Load();
        QCOMPARE(shown.reporter.messages.join(QLatin1Char('|')),
                 QStringLiteral("Error \"Picture too large: 20000 x 20000 pixels\" in Form_Load() routine"));
    }

    void messageBoxShowsPlainText()
    {
        MessageBoxReporter reporter;
        QString shownText;
        Qt::TextFormat format = Qt::AutoText;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            shownText = box->text();
            format = box->textFormat();
            QCOMPARE(box->windowTitle(), QStringLiteral("Ciarlatronix"));
            QCOMPARE(box->icon(), QMessageBox::Critical);
            box->accept();
        });
        reporter.report(u"Error \"<b>x</b>\" in Cambia() function");
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(shownText, QStringLiteral("Error \"<b>x</b>\" in Cambia() function"));
    }
};

QTEST_MAIN(tst_QtFace)
#include "tst_qtface.moc"
