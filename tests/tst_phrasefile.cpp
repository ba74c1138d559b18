// Counting and reading the lines of phrase files, at the byte level.
#include "TestSupport.h"

#include "phrases/Failure.h"
#include "phrases/PhraseFile.h"

#include <QRandomGenerator>
#include <QTest>

#include <optional>
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

std::optional<QByteArray> lineOf(const QString &path, std::int32_t k,
                                 std::size_t blockSize = phrases::PhraseFile::DefaultBlockSize)
{
    phrases::PhraseFile file(blockSize);
    file.open(path.toStdString());
    std::string line;
    if (!file.readLine(k, line))
        return std::nullopt;
    return QByteArray::fromStdString(line);
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
    void readsLineK_data();
    void readsLineK();
    void agreesWithTheRuleAcrossBlockEdges();
    void countsUpToTheLimit_data();
    void countsUpToTheLimit();
    void readingPastTheLimitOverflows();
    void reportsFilesThatCannotBeRead_data();
    void reportsFilesThatCannotBeRead();
    void reportsFilesWithoutPermission();
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

void TestPhraseFile::readsLineK_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("k");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("first of CRLF") << QByteArray("x\r\ny") << 1 << true << QByteArray("x");
    QTest::newRow("last, unterminated") << QByteArray("x\r\ny") << 2 << true << QByteArray("y");
    QTest::newRow("past the end") << QByteArray("x\r\ny\r\n") << 3 << false << QByteArray();
    QTest::newRow("empty line") << QByteArray("x\r\n\r\n") << 2 << true << QByteArray();
    QTest::newRow("after lone CR") << QByteArray("x\ry") << 2 << true << QByteArray("y");
    QTest::newRow("after LF") << QByteArray("x\n\ny") << 3 << true << QByteArray("y");
    QTest::newRow("BOM is not text") << QByteArray("\xEF\xBB\xBF" "ciao\n") << 1 << true << QByteArray("ciao");
    QTest::newRow("empty file") << QByteArray() << 1 << false << QByteArray();
    QTest::newRow("k = 0 never matches") << QByteArray("a\nb") << 0 << false << QByteArray();
    QTest::newRow("negative k") << QByteArray("a\nb") << -1 << false << QByteArray();
    QTest::newRow("keeps NUL") << QByteArray("\0a\0\r\n", 5) << 1 << true << QByteArray("\0a\0", 3);
    QTest::newRow("keeps the slash-n") << QByteArray("a/nb\n") << 1 << true << QByteArray("a/nb");
}

void TestPhraseFile::readsLineK()
{
    QFETCH(QByteArray, content);
    QFETCH(int, k);
    QFETCH(bool, found);
    QFETCH(QByteArray, line);
    TestFolder folder;
    folder.write("cazzate.txt", content);
    const auto got = lineOf(folder.file("cazzate.txt"), k);
    QCOMPARE(got.has_value(), found);
    if (found)
        QCOMPARE(*got, line);
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
            for (int k = 1; k <= expected.size(); k += 1 + int(expected.size()) / 25)
                QCOMPARE(lineOf(path, k, block).value_or("<none>"), expected.at(k - 1));
            QVERIFY(!lineOf(path, int(expected.size()) + 1, block).has_value());
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
    std::string line;
    file.open(folder.file("cazzate.txt").toStdString());
    QCOMPARE(failureOf([&] { file.readLine(0, line, 4); }), QStringLiteral("Overflow"));
    file.open(folder.file("cazzate.txt").toStdString());
    QVERIFY(file.readLine(4, line, 4));
    QCOMPARE(line, std::string("4"));
}

void TestPhraseFile::reportsFilesThatCannotBeRead_data()
{
    QTest::addColumn<bool>("asFolder");
    QTest::addColumn<QString>("failure");
    QTest::newRow("missing") << false << QStringLiteral("No such file or directory");
    QTest::newRow("a folder") << true << QStringLiteral("Is a directory");
}

void TestPhraseFile::reportsFilesThatCannotBeRead()
{
    QFETCH(bool, asFolder);
    QFETCH(QString, failure);
    TestFolder folder;
    if (asFolder)
        QVERIFY(QDir(folder.path()).mkdir("cazzate.txt"));
    phrases::PhraseFile file;
    QCOMPARE(failureOf([&] { file.open(folder.file("cazzate.txt").toStdString()); }), failure);
    QVERIFY(!file.isOpen());
}

void TestPhraseFile::reportsFilesWithoutPermission()
{
    if (::geteuid() == 0)
        QSKIP("root reads every file");
    TestFolder folder;
    folder.write("cazzate.txt", "segreto\n");
    QFile::setPermissions(folder.file("cazzate.txt"), QFileDevice::Permissions());
    phrases::PhraseFile file;
    QCOMPARE(failureOf([&] { file.open(folder.file("cazzate.txt").toStdString()); }),
             QStringLiteral("Permission denied"));
}

QTEST_GUILESS_MAIN(TestPhraseFile)
#include "tst_phrasefile.moc"
