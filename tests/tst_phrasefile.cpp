// Counting the lines of phrase files and reading one as its phrase; files that are no
// regular files.
#include "TestSupport.h"

#include "phrases/Failure.h"
#include "phrases/PhraseFile.h"
#include "phrases/PhraseText.h"
#include "phrases/RegularFile.h"

#include <QRandomGenerator>
#include <QTest>

#include <optional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The rule in its plainest form: LF, CR LF and a lone CR end a line; a leading UTF-8
// byte order mark is no part of it.
QList<QByteArray> referenceLines(QByteArray content)
{
    if (content.startsWith("\xEF\xBB\xBF"))
        content.remove(0, 3);
    QList<QByteArray> lines;
    QByteArray current;
    bool open = false;
    for (qsizetype i = 0; i < content.size(); ++i) {
        const char c = content.at(i);
        if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < content.size() && content.at(i + 1) == '\n')
                ++i;
            lines.append(current);
            current.clear();
            open = false;
        } else {
            current.append(c);
            open = true;
        }
    }
    if (open)
        lines.append(current);
    return lines;
}

std::int32_t countOf(const QString &path, std::size_t blockSize = phrases::PhraseFile::DefaultBlockSize)
{
    phrases::PhraseFile file(blockSize);
    file.open(path.toStdString());
    std::int32_t counter = 0;
    file.countLines(counter);
    return counter;
}

std::optional<QString> phraseOf(const QString &path, std::int32_t k, std::size_t keep, std::size_t blockSize)
{
    phrases::PhraseFile file(blockSize);
    file.open(path.toStdString());
    std::u16string phrase;
    if (!file.readPhrase(k, phrase, keep))
        return std::nullopt;
    return QString::fromStdU16String(phrase);
}

// What the whole line gave before only its start was read: all of it decoded, then expanded.
QString wholeLinePhrase(const QByteArray &line)
{
    std::u16string text(std::size_t(line.size()), u'\0');
    text.resize(phrases::decodeLine(reinterpret_cast<const unsigned char *>(line.data()), std::size_t(line.size()),
                                    text.data()));
    phrases::expandLineBreaks(text.data(), text.size());
    return QString::fromStdU16String(text);
}

QString failureOf(const std::function<void()> &step)
{
    try {
        step();
    } catch (const phrases::Failure &failure) {
        return QString::fromUtf8(failure.what());
    }
    return {};
}

} // namespace

class TestPhraseFile : public QObject
{
    Q_OBJECT

private slots:
    void countsLines_data();
    void countsLines();
    void readsThePhraseOfLineK_data();
    void readsThePhraseOfLineK();
    void agreesWithTheRuleAcrossBlockEdges();
    void countsUpToTheLimit_data();
    void countsUpToTheLimit();
    void readingPastTheLimitOverflows();
    void reportsFilesThatCannotBeRead_data();
    void reportsFilesThatCannotBeRead();
    void stopsAtTheSizeWhenOpened();
};

void TestPhraseFile::countsLines_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("lines");
    QTest::newRow("zero bytes") << QByteArray() << 0;
    QTest::newRow("x CRLF y") << QByteArray("x\r\ny") << 2;
    QTest::newRow("x CRLF y CRLF") << QByteArray("x\r\ny\r\n") << 2;
    QTest::newRow("x CRLF CRLF") << QByteArray("x\r\n\r\n") << 2;
    QTest::newRow("x CR y") << QByteArray("x\ry") << 2;
    QTest::newRow("x LF y") << QByteArray("x\ny") << 2;
    QTest::newRow("x LF") << QByteArray("x\n") << 1;
    QTest::newRow("only CRLF") << QByteArray("\r\n") << 1;
    QTest::newRow("only line ends") << QByteArray("\n\n\r\r\n\r") << 5;
    QTest::newRow("LF CR is two ends") << QByteArray("a\n\rb") << 3;
    QTest::newRow("mixed ends") << QByteArray("a\r\nb\rc\nd") << 4;
    QTest::newRow("NUL bytes") << QByteArray("a\0b\n\0", 5) << 2;
    QTest::newRow("BOM") << QByteArray("\xEF\xBB\xBFx\r\ny") << 2;
    QTest::newRow("BOM only") << QByteArray("\xEF\xBB\xBF") << 0;
    QTest::newRow("BOM then CRLF") << QByteArray("\xEF\xBB\xBF\r\n") << 1;
    QTest::newRow("BOM not at start") << QByteArray("a\n\xEF\xBB\xBF") << 2;
    QTest::newRow("half a BOM") << QByteArray("\xEF\xBB") << 1;
}

void TestPhraseFile::countsLines()
{
    QFETCH(QByteArray, content);
    QFETCH(int, lines);
    TestFolder folder;
    folder.write("cazzate.txt", content);
    QCOMPARE(countOf(folder.file("cazzate.txt")), lines);
    QCOMPARE(int(referenceLines(content).size()), lines);
}

void TestPhraseFile::readsThePhraseOfLineK_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("k");
    QTest::addColumn<QByteArray>("line"); // null when there is no line k
    QTest::addColumn<int>("keep");
    QTest::addColumn<int>("blockSize");
    QTest::addColumn<QString>("endsWith");
    const auto row = [](const char *name, const QByteArray &content, int k, const QByteArray &line, int keep = 361,
                        int blockSize = int(phrases::PhraseFile::DefaultBlockSize), const QString &endsWith = {}) {
        QTest::newRow(name) << content << k << line << keep << blockSize << endsWith;
    };
    row("first of CRLF", "x\r\ny", 1, "x");
    row("last, unterminated", "x\r\ny", 2, "y");
    row("past the end", "x\r\ny\r\n", 3, {});
    row("empty line", "x\r\n\r\n", 2, "");
    row("after lone CR", "x\ry", 2, "y");
    row("after LF", "x\n\ny", 3, "y");
    row("BOM is not text", "\xEF\xBB\xBF" "ciao\n", 1, "ciao");
    row("empty file", {}, 1, {});
    row("k = 0 never matches", "a\nb", 0, {});
    row("negative k", "a\nb", -1, {});
    row("keeps NUL", QByteArray("\0a\0\r\n", 5), 1, QByteArray("\0a\0", 3));
    row("nothing kept", "abc\n", 1, "abc", 0);

    // Lines many blocks long: only their start is copied, their validity judged over all. The
    // last units kept show which decoding won and what became of a "/n" or a pair astride the end.
    const QByteArray e = "\xC3\xA8";             // è
    const QByteArray euro = "\xE2\x82\xAC";      // three bytes for one unit
    const QByteArray smile = "\xF0\x9F\x98\x80"; // two units
    const QByteArray a359(359, 'a');
    row("valid UTF-8 across blocks", e.repeated(3000) + "\nz", 1, e.repeated(3000), 361, 64, "è");
    row("invalid byte far past the start", euro.repeated(2000) + "\xFF", 1, euro.repeated(2000) + "\xFF", 361, 64,
        "â");
    row("character cut off at the line end", e.repeated(3000) + "\xC3\r\n", 1, e.repeated(3000) + "\xC3", 361, 64,
        "Ã");
    const QByteArray euros = euro.repeated(360) + "/n" + euro.repeated(99);
    row("three-byte characters fill the copy", euros, 1, euros, 361, 100, "€\r");
    row("/n astride the kept end", a359 + "/nb", 1, a359 + "/nb", 360, 64, "a\r");
    row("pair astride unit 360", a359 + smile + "b", 1, a359 + smile + "b", 361, 64, QString::fromUtf8(smile));
    row("pair astride the kept end", a359 + smile, 1, a359 + smile, 360, 64, QString::fromUtf8(smile).left(1));
    row("long line skipped", QByteArray(5000, 'x') + "\r\n\xEF\xBB\xBF", 2, "\xEF\xBB\xBF", 361, 64);
}

void TestPhraseFile::readsThePhraseOfLineK()
{
    QFETCH(QByteArray, content);
    QFETCH(int, k);
    QFETCH(QByteArray, line);
    QFETCH(int, keep);
    QFETCH(int, blockSize);
    QFETCH(QString, endsWith);
    TestFolder folder;
    folder.write("cazzate.txt", content);
    const auto got = phraseOf(folder.file("cazzate.txt"), k, std::size_t(keep), std::size_t(blockSize));
    QCOMPARE(got.has_value(), !line.isNull());
    if (!got)
        return;
    QCOMPARE(*got, wholeLinePhrase(line).left(keep));
    QVERIFY2(got->endsWith(endsWith), qPrintable(got->right(4)));
}

// Small blocks put every kind of line end astride a block edge somewhere; the vector
// kernels see runs long enough for their wide loops.
void TestPhraseFile::agreesWithTheRuleAcrossBlockEdges()
{
    QRandomGenerator random(20261207);
    const char alphabet[] = {'a', 'b', '\r', '\n', '/', 'n', '\xC3', '\xA8'};
    TestFolder folder;
    for (int round = 0; round < 60; ++round) {
        QByteArray content;
        const int size = random.bounded(0, 3000);
        const int density = random.bounded(2, 40);
        for (int i = 0; i < size; ++i) {
            const bool end = random.bounded(density) == 0;
            content.append(end ? alphabet[2 + random.bounded(2)] : alphabet[random.bounded(8)]);
        }
        if (round % 7 == 0)
            content.prepend("\xEF\xBB\xBF");
        folder.write("cazzate.txt", content);
        const QList<QByteArray> expected = referenceLines(content);
        for (std::size_t block : {std::size_t(64), std::size_t(97), std::size_t(1) << 20}) {
            const QString path = folder.file("cazzate.txt");
            QCOMPARE(countOf(path, block), int(expected.size()));
            const std::size_t keep = round % 2 ? 361 : 5;
            for (int k = 1; k <= expected.size(); k += 1 + int(expected.size()) / 25)
                QCOMPARE(phraseOf(path, k, keep, block).value_or("<none>"),
                         wholeLinePhrase(expected.at(k - 1)).left(int(keep)));
            QVERIFY(!phraseOf(path, int(expected.size()) + 1, keep, block).has_value());
        }
    }
}

void TestPhraseFile::countsUpToTheLimit_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("counter");
    QTest::addColumn<QString>("failure");
    QTest::newRow("below the limit") << 0 << 6 << 5 << QString();
    QTest::newRow("exactly at the limit") << 0 << 5 << 5 << QString();
    QTest::newRow("one past the limit") << 0 << 4 << 4 << QStringLiteral("Overflow");
    QTest::newRow("near the 32-bit limit") << 2147483644 << 2147483647 << 2147483647 << QStringLiteral("Overflow");
    QTest::newRow("just fits in 32 bits") << 2147483642 << 2147483647 << 2147483647 << QString();
}

void TestPhraseFile::countsUpToTheLimit()
{
    QFETCH(int, start);
    QFETCH(int, limit);
    QFETCH(int, counter);
    QFETCH(QString, failure);
    TestFolder folder;
    folder.write("cazzate.txt", "1\n2\n3\n4\n5");
    phrases::PhraseFile file;
    file.open(folder.file("cazzate.txt").toStdString());
    std::int32_t value = start;
    QCOMPARE(failureOf([&] { file.countLines(value, limit); }), failure);
    QCOMPARE(value, counter);
}

void TestPhraseFile::readingPastTheLimitOverflows()
{
    TestFolder folder;
    folder.write("cazzate.txt", "1\n2\n3\n4\n5\n");
    phrases::PhraseFile file;
    std::u16string phrase;
    file.open(folder.file("cazzate.txt").toStdString());
    QCOMPARE(failureOf([&] { file.readPhrase(0, phrase, 361, 4); }), QStringLiteral("Overflow"));
    file.open(folder.file("cazzate.txt").toStdString());
    QVERIFY(file.readPhrase(4, phrase, 361, 4));
    QCOMPARE(phrase, u"4");
}

// The photo's reader and the phrase file open alike: at once, and regular files only.
void TestPhraseFile::reportsFilesThatCannotBeRead_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("failure");
    QTest::newRow("missing") << "missing" << QStringLiteral("No such file or directory");
    QTest::newRow("a folder") << "folder" << QStringLiteral("Is a directory");
    QTest::newRow("a FIFO with no writer") << "fifo" << QStringLiteral("Not a regular file");
    QTest::newRow("a link to /dev/zero") << "zero" << QStringLiteral("Not a regular file");
    QTest::newRow("a Unix socket") << "socket" << QStringLiteral("Not a regular file");
    QTest::newRow("too large for the photo") << "regular" << QStringLiteral("File too large");
    QTest::newRow("no permission") << "unreadable" << QStringLiteral("Permission denied");
}

void TestPhraseFile::reportsFilesThatCannotBeRead()
{
    QFETCH(QString, kind);
    QFETCH(QString, failure);
    TestFolder folder;
    const QString path = folder.file("cazzate.txt");
    const QByteArray native = QFile::encodeName(path);
    int listening = -1;
    if (kind == "folder") {
        QVERIFY(QDir(folder.path()).mkdir("cazzate.txt"));
    } else if (kind == "fifo") {
        QCOMPARE(::mkfifo(native.constData(), 0600), 0);
    } else if (kind == "zero") {
        QVERIFY(QFile::link("/dev/zero", path));
    } else if (kind == "socket") {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, native.constData(), sizeof address.sun_path);
        listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QCOMPARE(::bind(listening, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0);
    } else if (kind == "regular") {
        folder.write("cazzate.txt", "abc");
    } else if (kind == "unreadable") {
        if (::geteuid() == 0)
            QSKIP("root reads every file");
        folder.write("cazzate.txt", "abc");
        QFile::setPermissions(path, QFileDevice::Permissions());
    }
    const auto photo = [&](std::uint64_t maxBytes) {
        return failureOf([&] { QCOMPARE(phrases::readRegularFile(path.toStdString(), maxBytes).size(), 3u); });
    };
    phrases::PhraseFile file;
    QCOMPARE(failureOf([&] { file.open(path.toStdString()); }), kind == "regular" ? QString() : failure);
    QCOMPARE(file.isOpen(), kind == "regular");
    QCOMPARE(photo(2), failure);
    QCOMPARE(photo(3), kind == "regular" ? QString() : failure);
    if (listening >= 0)
        ::close(listening);
}

// A file that grows while it is read would otherwise be read for as long as it grows.
void TestPhraseFile::stopsAtTheSizeWhenOpened()
{
    TestFolder folder;
    folder.write("cazzate.txt", "a\nb\n");
    phrases::PhraseFile file(64);
    file.open(folder.file("cazzate.txt").toStdString());
    QFile grow(folder.file("cazzate.txt"));
    QVERIFY(grow.open(QIODevice::Append));
    grow.write(QByteArray(1000, '\n'));
    grow.flush();
    std::int32_t counter = 0;
    file.countLines(counter);
    QCOMPARE(counter, 2);
}

QTEST_GUILESS_MAIN(TestPhraseFile)
#include "tst_phrasefile.moc"
