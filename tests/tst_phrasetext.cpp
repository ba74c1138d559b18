// From a line's bytes to the phrase shown: decoding, line breaks, the cut, type size, draw.
#include "phrases/Failure.h"
#include "phrases/PhraseText.h"
#include "phrases/RandomSource.h"

#include <QSet>
#include <QTest>

#include <cmath>
#include <limits>

namespace {

QString decoded(const QByteArray &line)
{
    std::u16string out(std::size_t(line.size()), u'\0');
    out.resize(phrases::decodeLine(reinterpret_cast<const unsigned char *>(line.data()), std::size_t(line.size()),
                                   out.data()));
    return QString::fromStdU16String(out);
}

QString expanded(QString text)
{
    phrases::expandLineBreaks(reinterpret_cast<char16_t *>(text.data()), std::size_t(text.size()));
    return text;
}

} // namespace

class TestPhraseText : public QObject
{
    Q_OBJECT

private slots:
    void decodesUtf8OrWindows1252_data();
    void decodesUtf8OrWindows1252();
    void turnsSlashNIntoLineBreaks_data();
    void turnsSlashNIntoLineBreaks();
    void cutsAt360Units_data();
    void cutsAt360Units();
    void sizesTypeByLength_data();
    void sizesTypeByLength();
    void drawsWholeNumbers_data();
    void drawsWholeNumbers();
    void drawOverflowsOnlyForTheLowestBound();
    void clockSeededDrawsStayInRangeAndDiffer();
};

void TestPhraseText::decodesUtf8OrWindows1252_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("text");
    QTest::newRow("ASCII") << QByteArray("ciao") << QStringLiteral("ciao");
    QTest::newRow("UTF-8") << QByteArray("perch\xC3\xA9 s\xC3\xAC") << QStringLiteral(u"perché sì");
    QTest::newRow("Windows-1252") << QByteArray("perch\xE9 s\xEC") << QStringLiteral(u"perché sì");
    QTest::newRow("euro and quotes") << QByteArray("\x80 \x93x\x94") << QStringLiteral(u"€ “x”");
    QTest::newRow("unassigned 1252") << QByteArray("\x81\x8D\x8F\x90\x9D")
                                      << QString::fromUtf16(u"\u0081\u008D\u008F\u0090\u009D");
    QTest::newRow("one bad byte makes the line 1252") << QByteArray("\xC3\xA9\xE9") << QStringLiteral(u"Ã©é");
    QTest::newRow("overlong") << QByteArray("\xC0\xAF") << QStringLiteral(u"À¯");
    QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << QStringLiteral(u"í\u00A0€");
    QTest::newRow("above U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << QStringLiteral(u"ô\u0090€€");
    QTest::newRow("truncated sequence") << QByteArray("ab\xE2\x82") << QStringLiteral(u"abâ‚");
    QTest::newRow("astral") << QByteArray("\xF0\x9F\x98\x80!") << QStringLiteral(u"😀!");
    QTest::newRow("NUL kept") << QByteArray("a\0b", 3) << QString::fromUtf16(u"a\0b", 3);
}

void TestPhraseText::decodesUtf8OrWindows1252()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, text);
    QCOMPARE(decoded(line), text);
}

void TestPhraseText::turnsSlashNIntoLineBreaks_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("phrase");
    QTest::newRow("two in a row") << QStringLiteral("x/n/ny") << QStringLiteral("x\r\n\r\ny");
    QTest::newRow("alone") << QStringLiteral("/n") << QStringLiteral("\r\n");
    QTest::newRow("capital N stays") << QStringLiteral("a/Nb") << QStringLiteral("a/Nb");
    QTest::newRow("no rescan") << QStringLiteral("//nn") << QStringLiteral("/\r\nn");
    QTest::newRow("slash at the end") << QStringLiteral("fine/") << QStringLiteral("fine/");
    QTest::newRow("backslash-n stays") << QStringLiteral("a\\nb") << QStringLiteral("a\\nb");
}

void TestPhraseText::turnsSlashNIntoLineBreaks()
{
    QFETCH(QString, line);
    QFETCH(QString, phrase);
    QCOMPARE(expanded(line), phrase);
}

void TestPhraseText::cutsAt360Units_data()
{
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<int>("length");
    const QString pair = QStringLiteral(u"😀");
    QTest::newRow("short") << QString(45, u'x') << 45;
    QTest::newRow("exactly 360") << QString(360, u'x') << 360;
    QTest::newRow("500") << QString(500, u'x') << 360;
    QTest::newRow("pair astride the cut") << QString(359, u'x') + pair + QStringLiteral("y") << 359;
    QTest::newRow("pair just inside") << QString(358, u'x') + pair + QStringLiteral("y") << 360;
    QTest::newRow("CR LF astride the cut") << QString(359, u'x') + QStringLiteral("\r\ny") << 360;
}

void TestPhraseText::cutsAt360Units()
{
    QFETCH(QString, phrase);
    QFETCH(int, length);
    QCOMPARE(int(phrases::cutLength(reinterpret_cast<const char16_t *>(phrase.utf16()), std::size_t(phrase.size()))),
             length);
}

void TestPhraseText::sizesTypeByLength_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<float>("points");
    const QList<QPair<int, float>> bands = {{0, 16},   {1, 15},   {45, 15},  {46, 14},  {90, 14},  {91, 13},
                                            {135, 13}, {136, 12}, {180, 12}, {181, 11}, {225, 11}, {226, 10},
                                            {270, 10}, {271, 9},  {315, 9},  {316, 8},  {360, 8}};
    for (const auto &[length, points] : bands)
        QTest::addRow("%d characters", length) << length << points;
}

void TestPhraseText::sizesTypeByLength()
{
    QFETCH(int, length);
    QFETCH(float, points);
    QCOMPARE(phrases::fontSizeFor(length), points);
}

void TestPhraseText::drawsWholeNumbers_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<float>("r");
    QTest::addColumn<int>("drawn");
    const float belowOne = std::nextafter(1.0f, 0.0f);
    QTest::newRow("n = 0, low") << 0 << 0.0f << 1;
    QTest::newRow("n = 0, high") << 0 << belowOne << 1;
    QTest::newRow("n = 1") << 1 << belowOne << 1;
    QTest::newRow("n = 10, low") << 10 << 0.0f << 1;
    QTest::newRow("n = 10, high") << 10 << belowOne << 10;
    QTest::newRow("n = 10, middle") << 10 << 0.45f << 5;
    QTest::newRow("n = -1, low") << -1 << 0.0f << 1;
    QTest::newRow("n = -1, high") << -1 << 0.5f << 0;
    QTest::newRow("n = -5, high") << -5 << belowOne << -4;
    QTest::newRow("largest n") << std::numeric_limits<int>::max() << belowOne << 2147483520;
}

void TestPhraseText::drawsWholeNumbers()
{
    QFETCH(int, n);
    QFETCH(float, r);
    QFETCH(int, drawn);
    QCOMPARE(phrases::drawWholeNumber(n, r), drawn);
}

void TestPhraseText::drawOverflowsOnlyForTheLowestBound()
{
    QVERIFY_THROWS_EXCEPTION(phrases::Failure,
                             phrases::drawWholeNumber(std::numeric_limits<std::int32_t>::min(), 0.5f));
    QCOMPARE(phrases::drawWholeNumber(std::numeric_limits<std::int32_t>::min() + 1, 0.0f), 1);
}

void TestPhraseText::clockSeededDrawsStayInRangeAndDiffer()
{
    phrases::ClockSeededRandom random;
    QSet<float> seen;
    for (int i = 0; i < 1000; ++i) {
        random.reseed();
        const float r = random.next();
        QVERIFY(r >= 0.0f && r < 1.0f);
        seen.insert(r);
    }
    // Reseeding within one clock tick must not repeat the draw.
    QVERIFY2(seen.size() > 990, qPrintable(QString::number(seen.size())));
}

QTEST_GUILESS_MAIN(TestPhraseText)
#include "tst_phrasetext.moc"
