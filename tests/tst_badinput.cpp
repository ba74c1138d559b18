// Bad files of every kind: each is reported where a report is due, passes in silence where
// not, and none crashes, hangs or gets written to.
#include "WindowFixture.h"

#include "services/PlatformServices.h"
#include "services/WavCheck.h"
#include "services/modFunzioni.h"
#include "ui/PictureBox.h"

#include <QBuffer>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QImage>
#include <QTest>

namespace {

QByteArray encoded(const QImage &picture, const char *format)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format);
    return data;
}

QByteArray jpeg(int width, int height)
{
    // Busy pixels, so that most of the file is image data rather than headers.
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb((x * 37) % 256, (y * 53) % 256, (x * y) % 256));
    }
    return encoded(picture, "JPG");
}

QByteArray png(int width, int height)
{
    QImage picture(width, height, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    return encoded(picture, "PNG");
}

// A small JPEG whose header claims 20000 x 20000 pixels.
QByteArray hugeJpegHeader()
{
    QByteArray data = jpeg(16, 16);
    const qsizetype frame = data.indexOf("\xFF\xC0");
    for (int offset : {5, 7}) {
        data[frame + offset] = char(20000 >> 8);
        data[frame + offset + 1] = char(20000 & 0xFF);
    }
    return data;
}

QByteArray wav(quint16 format, quint16 bits, int frames)
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    const quint32 payload = quint32(frames) * (bits / 8);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + payload);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << format << quint16(1) << quint32(44100) << quint32(44100 * bits / 8) << quint16(bits / 8)
        << bits;
    out.writeRawData("data", 4);
    out << payload;
    data.append(QByteArray(int(payload), '\x10'));
    return data;
}

// Names, sizes and times of everything in the folder: nothing may change.
QStringList snapshot(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        entries.append(QStringLiteral("%1 %2 %3")
                           .arg(it.fileName())
                           .arg(it.fileInfo().size())
                           .arg(it.fileInfo().lastModified().toMSecsSinceEpoch()));
    }
    entries.sort();
    return entries;
}

enum class Kind { Content, Folder, Missing, Unreadable };

void place(const TestFolder &folder, const QString &name, Kind kind, const QByteArray &content)
{
    folder.remove(name);
    switch (kind) {
    case Kind::Content:
        folder.write(name, content);
        break;
    case Kind::Folder:
        QDir(folder.path()).mkdir(name);
        break;
    case Kind::Unreadable:
        // Reading the start of our own memory fails with an I/O error, even for root.
        QFile::link(QStringLiteral("/proc/self/mem"), folder.file(name));
        break;
    case Kind::Missing:
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestBadInput : public QObject
{
    Q_OBJECT

private slots:
    void phraseFiles_data();
    void phraseFiles();
    void phraseFileChangesBetweenPicks_data();
    void phraseFileChangesBetweenPicks();
    void photos_data();
    void photos();
    void sounds_data();
    void sounds();
    void checksWavFilesBeforePlaying_data();
    void checksWavFilesBeforePlaying();
};

void TestBadInput::phraseFiles_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("reports");
    const QString missing = QStringLiteral("No such file or directory");
    const auto both = [](const QString &why) {
        return QStringList({QStringLiteral("Error \"%1\" in ContaRighe() routine").arg(why),
                            QStringLiteral("Error \"%1\" in EstraiRiga() function").arg(why)});
    };
    QTest::newRow("missing") << Kind::Missing << QByteArray() << 0 << QString() << both(missing);
    QTest::newRow("a folder") << Kind::Folder << QByteArray() << 0 << QString() << both("Is a directory");
    QTest::newRow("unreadable") << Kind::Unreadable << QByteArray() << 1 << QString() << both("Input/output error");
    QTest::newRow("zero bytes") << Kind::Content << QByteArray() << 0 << QString() << QStringList();
    QTest::newRow("only line ends") << Kind::Content << QByteArray("\r\n\n\r") << 3 << QString() << QStringList();
    QTest::newRow("NUL bytes") << Kind::Content << QByteArray("a\0b\r\n", 5) << 1 << QString::fromUtf16(u"a\0b", 3)
                               << QStringList();
    QTest::newRow("invalid UTF-8") << Kind::Content << QByteArray("\xFF\xFE perch\xE9\n") << 1
                                   << QStringLiteral(u"ÿþ perché") << QStringList();
    QTest::newRow("mixed line ends") << Kind::Content << QByteArray("a\r\nb\rc\nd") << 4 << QStringLiteral("a")
                                     << QStringList();
    QTest::newRow("a 50 MB single line") << Kind::Content << QByteArray(50 * 1024 * 1024, 'z') << 1
                                         << QString(360, u'z') << QStringList();
}

void TestBadInput::phraseFiles()
{
    QFETCH(Kind, kind);
    QFETCH(QByteArray, content);
    QFETCH(int, lines);
    QFETCH(QString, shown);
    QFETCH(QStringList, reports);
    WindowFixture fixture;
    fixture.writeSamples();
    place(fixture.folder, "cazzate.txt", kind, content);
    const QStringList before = snapshot(fixture.folder.path());
    QElapsedTimer clock;
    clock.start();
    fixture.load();
    QCOMPARE(fixture.reporter.messages, reports);
    QCOMPARE(fixture.window->pubNumeroRighe, lines);
    QCOMPARE(fixture.phrase(), shown);
    QCOMPARE(snapshot(fixture.folder.path()), before);
    QVERIFY2(clock.elapsed() < 20000, "start-up hung");
}

void TestBadInput::phraseFileChangesBetweenPicks_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("reports");
    QTest::newRow("deleted") << Kind::Missing << QByteArray()
                             << QStringList{"Error \"No such file or directory\" in EstraiRiga() function"};
    QTest::newRow("truncated to nothing") << Kind::Content << QByteArray() << QStringList();
    QTest::newRow("truncated mid-line") << Kind::Content << QByteArray("pri") << QStringList();
    QTest::newRow("replaced by a folder") << Kind::Folder << QByteArray()
                                          << QStringList{"Error \"Is a directory\" in EstraiRiga() function"};
}

void TestBadInput::phraseFileChangesBetweenPicks()
{
    QFETCH(Kind, kind);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, reports);
    WindowFixture fixture;
    fixture.writeSamples();
    fixture.random.draws = {ScriptedRandom::pick(2, 3)};
    fixture.load();
    QCOMPARE(fixture.phrase(), QStringLiteral("seconda"));
    place(fixture.folder, "cazzate.txt", kind, content);
    fixture.window->Label1_Click();
    QCOMPARE(fixture.reporter.messages, reports);
    QCOMPARE(fixture.phrase(), QString());
}

void TestBadInput::photos_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QSize>("shown");
    QTest::addColumn<QString>("report");
    const QSize face(100, 150);
    const QByteArray good = jpeg(100, 150);
    QTest::newRow("missing") << Kind::Missing << QByteArray() << face << "File not found";
    QTest::newRow("a folder") << Kind::Folder << QByteArray() << face << "File not found";
    QTest::newRow("zero bytes") << Kind::Content << QByteArray() << face << "Unsupported image format";
    QTest::newRow("garbage") << Kind::Content << QByteArray(4096, '\x5A') << face << "Unsupported image format";
    QTest::newRow("only the JPEG header") << Kind::Content << good.left(200) << face << "Unable to read image data";
    // libjpeg shows what arrived of a JPEG cut short after its image data began.
    QTest::newRow("truncated image data") << Kind::Content << good.left(good.size() * 2 / 3) << QSize(100, 150)
                                          << QString();
    QTest::newRow("a PNG named foto.jpg") << Kind::Content << png(80, 60) << QSize(80, 60) << QString();
    QTest::newRow("20000 x 20000 pixels") << Kind::Content << hugeJpegHeader() << face
                                          << "Picture too large: 20000 x 20000 pixels";
}

void TestBadInput::photos()
{
    QFETCH(Kind, kind);
    QFETCH(QByteArray, content);
    QFETCH(QSize, shown);
    QFETCH(QString, report);
    WindowFixture fixture;
    fixture.writeSamples();
    place(fixture.folder, "foto.jpg", kind, content);
    const QStringList before = snapshot(fixture.folder.path());
    fixture.load();
    const QStringList expected =
        report.isEmpty() ? QStringList() : QStringList{QStringLiteral("Error \"%1\" in Form_Load() routine").arg(report)};
    QCOMPARE(fixture.reporter.messages, expected);
    QCOMPARE(fixture.picture("imgCazzaro")->size(), shown);
    QCOMPARE(snapshot(fixture.folder.path()), before);
}

void TestBadInput::sounds_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("missing") << Kind::Missing << QByteArray();
    QTest::newRow("a folder") << Kind::Folder << QByteArray();
    QTest::newRow("zero bytes") << Kind::Content << QByteArray();
    QTest::newRow("garbage") << Kind::Content << QByteArray(3000, '\x7F');
    QTest::newRow("not PCM (IEEE float)") << Kind::Content << wav(3, 32, 4410);
    QTest::newRow("truncated WAV") << Kind::Content << wav(1, 16, 44100).left(60);
    QTest::newRow("a real short WAV") << Kind::Content << wav(1, 16, 4410);
}

// The real player, not the recorder: whatever the file, silence or sound, never a report.
void TestBadInput::sounds()
{
    QFETCH(Kind, kind);
    QFETCH(QByteArray, content);
    TestFolder folder;
    place(folder, "audio.wav", kind, content);
    const QStringList before = snapshot(folder.path());
    RecordingReporter reporter;
    PlatformServices services;
    QElapsedTimer clock;
    clock.start();
    modFunzioni::API_PlaySound(folder.file("audio.wav"), services, reporter);
    QVERIFY2(clock.elapsed() < 2000, "playing held up the caller");
    QTest::qWait(300);
    QCOMPARE(reporter.messages, QStringList());
    QCOMPARE(snapshot(folder.path()), before);
}

void TestBadInput::checksWavFilesBeforePlaying_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("playable");
    const QByteArray good = wav(1, 16, 1000);
    QByteArray withPadding = good;
    withPadding.insert(36, QByteArray("LIST\x03\0\0\0abc\0", 12));
    QByteArray extensible = wav(0xFFFE, 16, 1000);
    QTest::newRow("16-bit PCM") << good << true;
    QTest::newRow("8-bit PCM") << wav(1, 8, 1000) << true;
    QTest::newRow("odd chunk before the data") << withPadding << true;
    QTest::newRow("cut short") << good.left(good.size() - 1) << false;
    QTest::newRow("header only") << good.left(44) << false;
    QTest::newRow("IEEE float") << wav(3, 32, 1000) << false;
    QTest::newRow("24-bit") << wav(1, 24, 999) << false;
    QTest::newRow("extensible without sub-format") << extensible << false;
    QTest::newRow("not RIFF") << QByteArray(100, 'R') << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestBadInput::checksWavFilesBeforePlaying()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, playable);
    TestFolder folder;
    folder.write("audio.wav", content);
    QCOMPARE(wavcheck::isCompletePcmWav(folder.file("audio.wav")), playable);
}

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
