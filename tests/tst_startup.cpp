// The start-up sequence, the phrase on every click, the reports and the close.
#include "WindowFixture.h"

#include "common/ErrorTrap.h"
#include "common/MessageBoxReporter.h"
#include "ui/PhraseLabel.h"
#include "ui/PictureBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

const QString FormLoadTail = QStringLiteral("\" in Form_Load() routine");
const QString Missing = QStringLiteral("No such file or directory");

const QPoint OnPhoto(60, 130);
const QPoint OnBalloon(170, 40);
const QPoint OnPhrase(300, 60);
const QPoint OnCloseMark(541, 10);
const QPoint OnLogo(300, 250);

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void buildsTheReportText_data();
    void buildsTheReportText();
    void reportsInACriticalBox();

    void startsWithAllFiles();
    void playsTheSoundFirst();
    void reportsABadPhotoOnce_data();
    void reportsABadPhotoOnce();
    void reportsAMissingPhraseFileInOrder_data();
    void reportsAMissingPhraseFileInOrder();
    void countsAnEmptyFileAsNoPhrases();
    void reportsALineCountOverflow();

    void clickShowsANewPhrase_data();
    void clickShowsANewPhrase();
    void everyPickReseeds();
    void showsPhraseAtItsSize_data();
    void showsPhraseAtItsSize();
    void followsTheFileAfterStartUp();
    void reportsADrawOverflow();
    void clickOnTheLogoDoesNothing();

    void closes_data();
    void closes();
};

void TestStartup::buildsTheReportText_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QByteArray>("routine");
    QTest::addColumn<bool>("isFunction");
    QTest::addColumn<QString>("text");
    QTest::newRow("routine") << Missing << QByteArray("ContaRighe") << false
                             << QStringLiteral("Error \"No such file or directory\" in ContaRighe() routine");
    QTest::newRow("function") << QStringLiteral("Overflow") << QByteArray("Casuale") << true
                              << QStringLiteral("Error \"Overflow\" in Casuale() function");
    QTest::newRow("quotes kept as they are") << QStringLiteral("a \"b\"") << QByteArray("Cambia") << true
                                             << QStringLiteral("Error \"a \"b\"\" in Cambia() function");
}

void TestStartup::buildsTheReportText()
{
    QFETCH(QString, description);
    QFETCH(QByteArray, routine);
    QFETCH(bool, isFunction);
    QFETCH(QString, text);
    QCOMPARE(ErrorTrap::message(description, routine.constData(),
                                isFunction ? ErrorTrap::Kind::Function : ErrorTrap::Kind::Routine),
             text);
}

void TestStartup::reportsInACriticalBox()
{
    QString seenTitle, seenText;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons seenButtons;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        seenTitle = box->windowTitle();
        seenText = box->text();
        seenIcon = box->icon();
        seenButtons = box->standardButtons();
        box->accept();
    });
    MessageBoxReporter reporter;
    reporter.report(QStringLiteral("Error \"<b>x</b>\" in Cambia() function"));
    QCOMPARE(seenTitle, QStringLiteral("Ciarlatronix"));
    QCOMPARE(seenText, QStringLiteral("Error \"<b>x</b>\" in Cambia() function"));
    QCOMPARE(seenIcon, QMessageBox::Critical);
    QCOMPARE(seenButtons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TestStartup::startsWithAllFiles()
{
    WindowFixture fixture;
    fixture.writeSamples();
    auto &window = fixture.load();
    QCOMPARE(fixture.reporter.messages, QStringList());
    QCOMPARE(fixture.services.played, QStringList{fixture.folder.file("audio.wav")});
    QCOMPARE(window.pubNumeroRighe, 3);
    QVERIFY2(QStringList({"prima", "seconda", "terza"}).contains(fixture.phrase()), qPrintable(fixture.phrase()));
    QCOMPARE(fixture.picture("imgCazzaro")->size(), QSize(120, 160));
    QCOMPARE(fixture.picture("imgCazzaro")->pos(), QPoint(48, 120));
}

void TestStartup::playsTheSoundFirst()
{
    WindowFixture fixture;
    fixture.writeSamples();
    bool checked = false;
    fixture.services.onPlay = [&] {
        checked = fixture.window->pubNumeroRighe == 0 && fixture.phrase() == QLatin1String("Label1")
                  && fixture.picture("imgCazzaro")->size() == QSize(100, 150) && !fixture.window->isVisible();
    };
    fixture.load();
    QVERIFY(checked);
}

void TestStartup::reportsABadPhotoOnce_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("asFolder");
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("zero bytes") << QByteArray("") << false;
    QTest::newRow("garbage") << QByteArray("questa non è una foto") << false;
    QTest::newRow("a folder") << QByteArray() << true;
}

void TestStartup::reportsABadPhotoOnce()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, asFolder);
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.folder.remove("foto.jpg");
    if (asFolder)
        QVERIFY(QDir(fixture.folder.path()).mkdir("foto.jpg"));
    else if (!content.isNull())
        fixture.folder.write("foto.jpg", content);
    fixture.load();
    QCOMPARE(fixture.reporter.messages.size(), 1);
    const QString message = fixture.reporter.messages.first();
    QVERIFY2(message.startsWith(QLatin1String("Error \"")) && message.endsWith(FormLoadTail), qPrintable(message));
    QVERIFY2(message.size() > QStringLiteral("Error \"").size() + FormLoadTail.size(), "no description");
    QCOMPARE(fixture.picture("imgCazzaro")->size(), QSize(100, 150));
    QVERIFY(!fixture.phrase().isEmpty());
}

void TestStartup::reportsAMissingPhraseFileInOrder_data()
{
    QTest::addColumn<bool>("asFolder");
    QTest::addColumn<QString>("description");
    QTest::newRow("missing") << false << Missing;
    QTest::newRow("a folder") << true << QStringLiteral("Is a directory");
}

void TestStartup::reportsAMissingPhraseFileInOrder()
{
    QFETCH(bool, asFolder);
    QFETCH(QString, description);
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.folder.remove("cazzate.txt");
    if (asFolder)
        QVERIFY(QDir(fixture.folder.path()).mkdir("cazzate.txt"));
    auto &window = fixture.load();
    QCOMPARE(fixture.reporter.messages,
             QStringList({QStringLiteral("Error \"%1\" in ContaRighe() routine").arg(description),
                          QStringLiteral("Error \"%1\" in EstraiRiga() function").arg(description)}));
    QCOMPARE(window.pubNumeroRighe, 0);
    QCOMPARE(fixture.phrase(), QString());
    QCOMPARE(fixture.phraseSize(), 16.0f);
    QCOMPARE(fixture.picture("imgCazzaro")->size(), QSize(120, 160));

    // Every later pick tries the file again, and reports again.
    fixture.window->Label1_Click();
    QCOMPARE(fixture.reporter.messages.size(), 3);
    QVERIFY(fixture.reporter.messages.last().endsWith(QLatin1String(" in EstraiRiga() function")));
}

void TestStartup::countsAnEmptyFileAsNoPhrases()
{
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.folder.write("cazzate.txt", "");
    auto &window = fixture.load();
    QCOMPARE(fixture.reporter.messages, QStringList());
    QCOMPARE(window.pubNumeroRighe, 0);
    QCOMPARE(fixture.phrase(), QString());
    QCOMPARE(fixture.phraseSize(), 16.0f);
}

void TestStartup::reportsALineCountOverflow()
{
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.lineLimit = 2;
    auto &window = fixture.load();
    QCOMPARE(fixture.reporter.messages.value(0), QStringLiteral("Error \"Overflow\" in ContaRighe() routine"));
    QCOMPARE(window.pubNumeroRighe, 2);
}

void TestStartup::clickShowsANewPhrase_data()
{
    QTest::addColumn<QPoint>("where");
    QTest::newRow("the photo") << OnPhoto;
    QTest::newRow("the balloon") << OnBalloon;
    QTest::newRow("the phrase") << OnPhrase;
}

void TestStartup::clickShowsANewPhrase()
{
    QFETCH(QPoint, where);
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.random.draws = {ScriptedRandom::pick(1, 3), ScriptedRandom::pick(3, 3), ScriptedRandom::pick(2, 3)};
    fixture.load();
    QCOMPARE(fixture.phrase(), QStringLiteral("prima"));
    fixture.clickAt(where);
    QCOMPARE(fixture.phrase(), QStringLiteral("terza"));
    fixture.clickAt(where);
    QCOMPARE(fixture.phrase(), QStringLiteral("seconda"));
    QCOMPARE(fixture.reporter.messages, QStringList());
}

void TestStartup::everyPickReseeds()
{
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.load();
    QCOMPARE(fixture.random.reseeds, 1);
    fixture.window->imgFumetto_Click();
    fixture.window->imgCazzaro_Click();
    QCOMPARE(fixture.random.reseeds, 3);
    QCOMPARE(fixture.random.position, 3);
}

void TestStartup::showsPhraseAtItsSize_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<float>("points");
    const auto xs = [](int n) { return QByteArray(n, 'x'); };
    QTest::newRow("blank line") << QByteArray("\r\n") << QString() << 16.0f;
    QTest::newRow("45") << xs(45) << QString(45, u'x') << 15.0f;
    QTest::newRow("46") << xs(46) << QString(46, u'x') << 14.0f;
    QTest::newRow("90") << xs(90) << QString(90, u'x') << 14.0f;
    QTest::newRow("91") << xs(91) << QString(91, u'x') << 13.0f;
    QTest::newRow("315") << xs(315) << QString(315, u'x') << 9.0f;
    QTest::newRow("316") << xs(316) << QString(316, u'x') << 8.0f;
    QTest::newRow("500 cut to 360") << xs(500) << QString(360, u'x') << 8.0f;
    QTest::newRow("46 with a line break") << xs(22) + "/n" + xs(22) << QString(22, u'x') + "\r\n" + QString(22, u'x')
                                          << 14.0f;
    QTest::newRow("cut after the CR") << xs(359) + "/nyy" << QString(359, u'x') + "\r" << 8.0f;
    QTest::newRow("markup is text") << QByteArray("<b>ciao</b>") << QStringLiteral("<b>ciao</b>") << 15.0f;
    QTest::newRow("accented, Windows-1252") << QByteArray("cos\xEC") << QStringLiteral(u"così") << 15.0f;
}

void TestStartup::showsPhraseAtItsSize()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, shown);
    QFETCH(float, points);
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.folder.write("cazzate.txt", line);
    fixture.load();
    QCOMPARE(fixture.phrase(), shown);
    QCOMPARE(fixture.phraseSize(), points);
    QCOMPARE(fixture.reporter.messages, QStringList());
}

void TestStartup::followsTheFileAfterStartUp()
{
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.random.draws = {ScriptedRandom::pick(1, 3)};
    fixture.load();

    // Shrunk: the drawn line is gone, so the phrase is empty, and that is no failure.
    fixture.folder.write("cazzate.txt", "sola\n");
    fixture.random.draws = {ScriptedRandom::pick(3, 3)};
    fixture.window->Label1_Click();
    QCOMPARE(fixture.phrase(), QString());

    // Grown: the count of the start stands, so later lines are never drawn.
    fixture.folder.write("cazzate.txt", "r1\nr2\nr3\nr4\nr5\nr6\n");
    fixture.random.draws = {std::nextafter(1.0f, 0.0f)};
    fixture.window->Label1_Click();
    QCOMPARE(fixture.phrase(), QStringLiteral("r3"));
    QCOMPARE(fixture.reporter.messages, QStringList());
}

void TestStartup::reportsADrawOverflow()
{
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.load();
    fixture.window->pubNumeroRighe = std::numeric_limits<std::int32_t>::min();
    fixture.window->Label1_Click();
    QCOMPARE(fixture.reporter.messages, QStringList{QStringLiteral("Error \"Overflow\" in Casuale() function")});
    QCOMPARE(fixture.phrase(), QString());
}

void TestStartup::clickOnTheLogoDoesNothing()
{
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.load();
    const QString before = fixture.phrase();
    fixture.clickAt(OnLogo);
    QCOMPARE(fixture.random.reseeds, 1);
    QCOMPARE(fixture.phrase(), before);
    QCOMPARE(fixture.services.opened, QStringList());
    QVERIFY(fixture.window->isVisible());
}

void TestStartup::closes_data()
{
    QTest::addColumn<bool>("byCloseMark");
    QTest::addColumn<bool>("whileScrolling");
    QTest::newRow("close mark") << true << false;
    QTest::newRow("close mark, credits scrolling") << true << true;
    QTest::newRow("window system") << false << false;
}

void TestStartup::closes()
{
    QFETCH(bool, byCloseMark);
    QFETCH(bool, whileScrolling);
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.load();
    fixture.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(fixture.window.get()));
    if (whileScrolling)
        fixture.window->Label2_Click();
    if (byCloseMark)
        fixture.clickAt(OnCloseMark);
    else
        QVERIFY(fixture.window->close());
    QVERIFY(!fixture.window->isVisible());
    // With its one window closed the program ends.
    QVERIFY(fixture.window->testAttribute(Qt::WA_QuitOnClose));
    QCOMPARE(fixture.reporter.messages, QStringList());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
