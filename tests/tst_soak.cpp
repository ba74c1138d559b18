// Ten thousand picks and ten thousand ticks in one process must not grow its memory.
#include "WindowFixture.h"

#include <QFile>
#include <QTest>

namespace {

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

constexpr qint64 ToleranceKiB = 2048;

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void picksAndTicksKeepMemoryFlat();
};

void TestSoak::picksAndTicksKeepMemoryFlat()
{
    if (residentKiB() < 0)
        QSKIP("no /proc here");
    WindowFixture fixture;
    fixture.writeSamples();
    QByteArray phrases;
    for (int i = 0; i < 200; ++i)
        phrases += "Cazzata numero " + QByteArray::number(i) + "/ncon " + QByteArray(i, 'a') + " dentro\r\n";
    fixture.folder.write("cazzate.txt", phrases);
    for (int i = 0; i < 97; ++i)
        fixture.random.draws.append(float(i) / 97.0f);
    fixture.load();
    fixture.window->Label2_Click();

    const auto run = [&](int times) {
        for (int i = 0; i < times; ++i) {
            fixture.window->Label1_Click();
            fixture.window->Timer1_Timer();
        }
    };
    run(500); // let caches and the allocator settle
    const qint64 before = residentKiB();
    run(10000);
    const qint64 after = residentKiB();
    qInfo("resident memory %lld KiB before, %lld KiB after 10000 picks and ticks", before, after);
    QCOMPARE(fixture.reporter.messages, QStringList());
    QVERIFY2(after - before < ToleranceKiB, qPrintable(QString::number(after - before)));
}

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
