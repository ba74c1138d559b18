// The window's look: frame, size, place, controls, stacking, clicks, pointers, label text.
#include "WindowFixture.h"

#include "app/PlatformChoice.h"
#include "ui/IntervalTimer.h"
#include "ui/LabelText.h"
#include "ui/PhraseLabel.h"
#include "ui/PictureBox.h"
#include "ui/Placement.h"

#include <QFontMetricsF>
#include <QScreen>
#include <QTest>

namespace {

const QString Tooltip = QStringLiteral("Clicca qui per una nuova cazzata !");

QStringList stackFromTheTop(const QWidget &window)
{
    QStringList names;
    for (QObject *child : window.children()) {
        if (child->isWidgetType())
            names.prepend(child->objectName());
    }
    return names;
}

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT

private slots:
    void isAFixedFramelessWindow();
    void centresOnTheScreen_data();
    void centresOnTheScreen();
    void prefersX11OnWayland_data();
    void prefersX11OnWayland();
    void placesEveryControl_data();
    void placesEveryControl();
    void stacksTheControls();
    void findsTheTopmostControl_data();
    void findsTheTopmostControl();
    void showsPointersAndTooltips_data();
    void showsPointersAndTooltips();
    void keepsTheCreditsBoxOutOfTheWay();
    void letsALargePhotoGrowUnderThePhrase();
    void timerWaitsForTheCredits();
    void describesEveryControl();
    void readsLabelText_data();
    void readsLabelText();
    void wrapsAndCutsALongPhrase();
};

void TestLayout::isAFixedFramelessWindow()
{
    WindowFixture fixture;
    fixture.writeSamples();
    auto &window = fixture.load();
    QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(window.isWindow());
    QCOMPARE(window.size(), QSize(550, 304));
    QCOMPARE(window.minimumSize(), QSize(550, 304));
    QCOMPARE(window.maximumSize(), QSize(550, 304));
    QCOMPARE(window.windowTitle(), QString());
    QVERIFY(!window.windowIcon().isNull());
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(window.pos(), placement::centredTopLeft(available, QSize(550, 304)));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.frameGeometry(), window.geometry());
}

void TestLayout::centresOnTheScreen_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("topLeft");
    QTest::newRow("full HD") << QRect(0, 0, 1920, 1080) << QPoint(685, 388);
    QTest::newRow("odd sizes round down") << QRect(0, 0, 801, 605) << QPoint(125, 150);
    QTest::newRow("second screen, panel above") << QRect(1920, 32, 1280, 992) << QPoint(2285, 376);
    QTest::newRow("screen smaller than the window") << QRect(0, 0, 549, 300) << QPoint(-1, -2);
}

void TestLayout::centresOnTheScreen()
{
    QFETCH(QRect, available);
    QFETCH(QPoint, topLeft);
    QCOMPARE(placement::centredTopLeft(available, QSize(550, 304)), topLeft);
}

void TestLayout::prefersX11OnWayland_data()
{
    QTest::addColumn<QByteArray>("chosen");
    QTest::addColumn<QByteArray>("wayland");
    QTest::addColumn<QByteArray>("session");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<bool>("useX11");
    QTest::newRow("Wayland with XWayland") << QByteArray() << QByteArray("wayland-0") << QByteArray("wayland")
                                           << QByteArray(":0") << true;
    QTest::newRow("session type only") << QByteArray() << QByteArray() << QByteArray("wayland") << QByteArray(":0")
                                       << true;
    QTest::newRow("user chose a platform") << QByteArray("wayland") << QByteArray("wayland-0") << QByteArray()
                                           << QByteArray(":0") << false;
    QTest::newRow("no XWayland") << QByteArray() << QByteArray("wayland-0") << QByteArray() << QByteArray() << false;
    QTest::newRow("plain X11") << QByteArray() << QByteArray() << QByteArray("x11") << QByteArray(":0") << false;
}

void TestLayout::prefersX11OnWayland()
{
    QFETCH(QByteArray, chosen);
    QFETCH(QByteArray, wayland);
    QFETCH(QByteArray, session);
    QFETCH(QByteArray, display);
    QFETCH(bool, useX11);
    QCOMPARE(platformchoice::shouldUseX11(chosen, wayland, session, display), useX11);
}

void TestLayout::placesEveryControl_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("txtCrediti") << "txtCrediti" << QRect(296, 264, 201, 13);
    QTest::newRow("Image2") << "Image2" << QRect(32, 32, 121, 68);
    QTest::newRow("Label2") << "Label2" << QRect(368, 256, 57, 25);
    QTest::newRow("Label1") << "Label1" << QRect(184, 48, 291, 89);
    QTest::newRow("imgClose") << "imgClose" << QRect(536, 5, 10, 10);
    QTest::newRow("imgCazzaro") << "imgCazzaro" << QRect(48, 120, 100, 150);
    QTest::newRow("imgFumetto") << "imgFumetto" << QRect(160, 32, 335, 139);
    QTest::newRow("Image1") << "Image1" << QRect(200, 144, 300, 130);
}

void TestLayout::placesEveryControl()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    WindowFixture fixture;
    fixture.create();
    QWidget *control = fixture.control(name.toLatin1().constData());
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
    if (auto *picture = qobject_cast<PictureBox *>(control))
        QCOMPARE(picture->picture().deviceIndependentSize().toSize(), geometry.size());
}

void TestLayout::stacksTheControls()
{
    WindowFixture fixture;
    fixture.create();
    QCOMPARE(stackFromTheTop(*fixture.window),
             QStringList({"txtCrediti", "Image2", "Label2", "Label1", "imgClose", "imgCazzaro", "imgFumetto",
                          "Image1"}));
    QVERIFY(fixture.timer());
}

void TestLayout::findsTheTopmostControl_data()
{
    QTest::addColumn<QPoint>("where");
    QTest::addColumn<QString>("control");
    QTest::newRow("phrase") << QPoint(300, 60) << "Label1";
    QTest::newRow("label's top-left corner") << QPoint(184, 48) << "Label1";
    QTest::newRow("balloon beside the phrase") << QPoint(170, 40) << "imgFumetto";
    QTest::newRow("balloon's tail") << QPoint(180, 160) << "imgFumetto";
    QTest::newRow("balloon over the logo") << QPoint(300, 160) << "imgFumetto";
    QTest::newRow("photo") << QPoint(60, 130) << "imgCazzaro";
    QTest::newRow("link") << QPoint(40, 40) << "Image2";
    QTest::newRow("close mark") << QPoint(541, 10) << "imgClose";
    QTest::newRow("beside the close mark") << QPoint(534, 10) << "";
    QTest::newRow("logo") << QPoint(300, 250) << "Image1";
    QTest::newRow("credits box left of Credits") << QPoint(367, 268) << "Image1";
    QTest::newRow("Credits, left edge") << QPoint(368, 268) << "Label2";
    QTest::newRow("Credits, right edge") << QPoint(424, 268) << "Label2";
    QTest::newRow("credits box right of Credits") << QPoint(425, 268) << "Image1";
    QTest::newRow("further right") << QPoint(426, 268) << "Image1";
    QTest::newRow("Label2 above the box") << QPoint(400, 258) << "Label2";
    QTest::newRow("Label2 below the box") << QPoint(400, 279) << "Label2";
    QTest::newRow("credits box below the logo") << QPoint(300, 276) << "";
    QTest::newRow("backdrop") << QPoint(20, 290) << "";
}

void TestLayout::findsTheTopmostControl()
{
    QFETCH(QPoint, where);
    QFETCH(QString, control);
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.folder.remove("foto.jpg");
    fixture.load();
    fixture.reporter.messages.clear();
    QWidget *hit = fixture.window->childAt(where);
    QCOMPARE(hit ? hit->objectName() : QString(), control);

    // The same point clicked for real reaches the same routine.
    const QString phraseBefore = fixture.phrase();
    const int picksBefore = fixture.random.reseeds;
    fixture.clickAt(where);
    QString reached;
    if (fixture.random.reseeds != picksBefore)
        reached = QStringLiteral("a new phrase");
    else if (!fixture.services.opened.isEmpty())
        reached = QStringLiteral("the home page");
    else if (fixture.timer()->isTicking())
        reached = QStringLiteral("the credits");
    else if (!fixture.window->isVisible())
        reached = QStringLiteral("the close");
    const QMap<QString, QString> effects = {{"Label1", "a new phrase"},  {"imgFumetto", "a new phrase"},
                                            {"imgCazzaro", "a new phrase"}, {"Image2", "the home page"},
                                            {"Label2", "the credits"},   {"imgClose", "the close"}};
    QCOMPARE(reached, effects.value(control));
    QCOMPARE(fixture.reporter.messages, QStringList());
}

void TestLayout::showsPointersAndTooltips_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("shape");
    QTest::addColumn<QPoint>("hotSpot");
    QTest::addColumn<bool>("tooltip");
    const int bitmap = Qt::BitmapCursor;
    QTest::newRow("Label1") << "Label1" << bitmap << QPoint(16, 16) << true;
    QTest::newRow("imgCazzaro") << "imgCazzaro" << bitmap << QPoint(16, 16) << true;
    QTest::newRow("imgFumetto") << "imgFumetto" << bitmap << QPoint(16, 16) << true;
    QTest::newRow("Image2") << "Image2" << bitmap << QPoint(13, 4) << false;
    QTest::newRow("Label2") << "Label2" << bitmap << QPoint(13, 4) << false;
    QTest::newRow("imgClose") << "imgClose" << bitmap << QPoint(13, 4) << false;
    QTest::newRow("Image1") << "Image1" << int(Qt::ArrowCursor) << QPoint() << false;
    QTest::newRow("txtCrediti") << "txtCrediti" << -1 << QPoint() << false;
}

void TestLayout::showsPointersAndTooltips()
{
    QFETCH(QString, name);
    QFETCH(int, shape);
    QFETCH(QPoint, hotSpot);
    QFETCH(bool, tooltip);
    WindowFixture fixture;
    fixture.create();
    QWidget *control = fixture.control(name.toLatin1().constData());
    if (shape >= 0) {
        QCOMPARE(int(control->cursor().shape()), shape);
        if (shape == Qt::BitmapCursor) {
            QCOMPARE(control->cursor().hotSpot(), hotSpot);
            QCOMPARE(control->cursor().pixmap().deviceIndependentSize().toSize(), QSize(32, 32));
        }
    }
    QCOMPARE(control->toolTip(), tooltip ? Tooltip : QString());
    QCOMPARE(fixture.window->cursor().shape(), Qt::ArrowCursor);
}

void TestLayout::keepsTheCreditsBoxOutOfTheWay()
{
    WindowFixture fixture;
    fixture.create();
    QLineEdit *box = fixture.credits();
    QVERIFY(!box->isEnabled());
    QVERIFY(box->isReadOnly());
    QVERIFY(!box->hasFrame());
    QCOMPARE(box->focusPolicy(), Qt::NoFocus);
    QVERIFY(box->testAttribute(Qt::WA_TransparentForMouseEvents));
    QCOMPARE(box->text(), QStringLiteral("Credits"));
    QCOMPARE(box->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
    QCOMPARE(box->palette().color(QPalette::Disabled, QPalette::Base), QColor(Qt::white));
    QVERIFY(box->palette().color(QPalette::Disabled, QPalette::Text) != QColor(Qt::black));
}

void TestLayout::letsALargePhotoGrowUnderThePhrase()
{
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.folder.writePhoto("foto.jpg", 200, 300);
    fixture.load();
    QCOMPARE(fixture.picture("imgCazzaro")->geometry(), QRect(48, 120, 200, 300));
    QCOMPARE(fixture.window->childAt(200, 130)->objectName(), QStringLiteral("Label1"));
    QCOMPARE(fixture.window->childAt(200, 150)->objectName(), QStringLiteral("imgCazzaro"));
    QCOMPARE(fixture.window->childAt(230, 250)->objectName(), QStringLiteral("imgCazzaro"));
    QCOMPARE(fixture.window->childAt(541, 10)->objectName(), QStringLiteral("imgClose"));
    const QStringList stack = stackFromTheTop(*fixture.window);
    QVERIFY(stack.indexOf("Label1") < stack.indexOf("imgCazzaro"));
    QVERIFY(stack.indexOf("imgClose") < stack.indexOf("imgCazzaro"));
}

void TestLayout::timerWaitsForTheCredits()
{
    WindowFixture fixture;
    fixture.create();
    QVERIFY(fixture.timer()->isEnabled());
    QCOMPARE(fixture.timer()->interval(), 0);
    QVERIFY(!fixture.timer()->isTicking());
}

void TestLayout::describesEveryControl()
{
    WindowFixture fixture;
    fixture.create();
    for (const char *name : {"txtCrediti", "Image2", "Label2", "Label1", "imgClose", "imgCazzaro", "imgFumetto",
                             "Image1"}) {
        QWidget *control = fixture.control(name);
        QVERIFY2(!control->accessibleName().isEmpty(), name);
        QVERIFY2(!control->accessibleDescription().isEmpty(), name);
    }
    QCOMPARE(fixture.control("imgClose")->accessibleName(), QStringLiteral("Chiudi"));
}

void TestLayout::readsLabelText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QList<int>>("marked");
    const QString br(QChar::LineSeparator);
    QTest::newRow("single ampersand") << "Pane & vino" << "Pane  vino" << QList<int>{5};
    QTest::newRow("marks the next letter") << "&Ciao" << "Ciao" << QList<int>{0};
    QTest::newRow("double ampersand") << "Pane && vino" << "Pane & vino" << QList<int>{};
    QTest::newRow("three in a row") << "a&&&b" << "a&b" << QList<int>{2};
    QTest::newRow("trailing ampersand") << "fine&" << "fine" << QList<int>{};
    QTest::newRow("markup is text") << "<b>ciao</b>" << "<b>ciao</b>" << QList<int>{};
    QTest::newRow("CR LF breaks the line") << "su\r\ngiù" << "su" + br + "giù" << QList<int>{};
    QTest::newRow("lone CR at the cut") << "fine\r" << "fine" + br << QList<int>{};
}

void TestLayout::readsLabelText()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QList<int>, marked);
    const LabelText label = LabelText::fromText(text);
    QCOMPARE(label.shown, shown);
    QCOMPARE(label.marked, marked);
}

void TestLayout::wrapsAndCutsALongPhrase()
{
    WindowFixture fixture;
    fixture.create();
    PhraseLabel *label = fixture.label1();
    QString phrase;
    while (phrase.size() < 350)
        phrase += QStringLiteral("parola lunghissima ");
    label->setPointSize(14.0f);
    label->setText(phrase);
    const QStringList lines = label->visibleLines();
    QVERIFY(lines.size() >= 2);
    const QFontMetricsF metrics(label->font());
    for (const QString &line : lines) {
        QVERIFY2(metrics.horizontalAdvance(line.trimmed()) <= 291.0, qPrintable(line));
        QVERIFY2(line.endsWith(QLatin1Char(' ')), qPrintable(line)); // broken between words
    }
    // At 14 points the 350 characters need more than 89 px: the rest is cut, the label stays.
    QVERIFY(lines.join(QString()).size() < phrase.size());
    QCOMPARE(label->size(), QSize(291, 89));

    label->setText(QStringLiteral("uno\r\ndue"));
    QCOMPARE(label->visibleLines().size(), 2);
}

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
