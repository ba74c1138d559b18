// Which WAV files reach the player: every whole one that Qt 6.4's QSoundEffect plays through
// PulseAudio, and none that it waits on for ever, crashes on or fails to play.
#include "Fakes.h"

#include "WavCheck.h"

#include <QTest>
#include <QtEndian>

namespace {

QByteArray le(quint32 value, int bytes)
{
    const quint32 little = qToLittleEndian(value);
    return QByteArray(reinterpret_cast<const char *>(&little), bytes);
}
QByteArray chunk(const char *id, const QByteArray &body, bool padded = false)
{
    return id + le(body.size(), 4) + body + QByteArray(padded ? body.size() % 2 : 0, '\0');
}
QByteArray fmt(quint16 format, quint16 channels, quint32 rate, quint16 bits, const QByteArray &extra = {})
{
    return chunk("fmt ", le(format, 2) + le(channels, 2) + le(rate, 4) + le(rate * channels * bits / 8, 4)
                             + le(channels * bits / 8, 2) + le(bits, 2) + extra);
}
QByteArray data(quint16 channels, quint16 bits, int frames = 100)
{
    return chunk("data", QByteArray(frames * channels * (bits / 8), '\x10'));
}
QByteArray riff(const QByteArray &chunks)
{
    return "RIFF" + le(4 + chunks.size(), 4) + "WAVE" + chunks;
}
QByteArray wav(quint16 format, quint16 channels, quint32 rate, quint16 bits, const QByteArray &extra = {})
{
    return riff(fmt(format, channels, rate, bits, extra) + data(channels, bits));
}
// WAVE_FORMAT_EXTENSIBLE (a fmt of 40 bytes), stereo: valid bits, speakers and the sub-format's GUID.
QByteArray extensible(quint16 subFormat, quint16 bits)
{
    return wav(0xFFFE, 2, 44100, bits, le(22, 2) + le(bits, 2) + le(3, 4) + le(subFormat, 2)
                                           + QByteArray::fromHex("000000001000800000aa00389b71"));
}

} // namespace

class TestWavCheck : public QObject
{
    Q_OBJECT

private slots:
    void files_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("playable");
        QTest::addColumn<qint64>("hole"); // sound data left out of content, added as zeros
        const QByteArray pcm = fmt(1, 2, 44100, 16), good = wav(1, 2, 44100, 16);
        const auto row = [](const char *name, const QByteArray &content, bool playable, qint64 hole = 0) {
            QTest::newRow(name) << content << playable << hole;
        };
        row("8-bit mono", wav(1, 1, 44100, 8), true);
        row("16-bit stereo", good, true);
        row("24-bit stereo", wav(1, 2, 44100, 24), true);
        row("32-bit integer stereo", wav(1, 2, 44100, 32), true);
        row("24-bit 5.1", wav(1, 6, 48000, 24), true);
        row("24 channels", wav(1, 24, 44100, 16), true);
        row("25 channels: no output stream", wav(1, 25, 44100, 16), false);
        row("12-bit", wav(1, 2, 44100, 12), false);
        row("32-bit float", wav(3, 2, 44100, 32), false);
        row("extensible 16-bit PCM", extensible(1, 16), false);
        row("extensible 32-bit float", extensible(3, 32), false);
        row("A-law", wav(6, 1, 8000, 8), false);
        row("format 0", wav(0, 2, 44100, 16), false);
        row("odd rate 12345 Hz", wav(1, 2, 12345, 16), true);
        row("100 Hz", wav(1, 2, 100, 16), true);
        row("99 Hz: silent or a crash", wav(1, 2, 99, 16), false);
        row("384 kHz", wav(1, 2, 384000, 16), true);
        row("384001 Hz: no output stream", wav(1, 2, 384001, 16), false);
        row("zero bytes", {}, false);
        row("cut short", good.left(good.size() - 1), false);
        row("not RIFF", "RIFX" + good.mid(4), false);
        row("not WAVE", good.left(8) + "AVI " + good.mid(12), false);
        row("no fmt", riff(data(2, 16)), false);
        row("fmt shorter than 16", riff(chunk("fmt ", pcm.mid(8, 14)) + data(2, 16)), false);
        // The loader reads 16 bytes of fmt and skips the rest, without a pad byte.
        row("fmt of 18 bytes, cbSize 0", wav(1, 2, 44100, 16, le(0, 2)), true);
        row("fmt of 18 bytes between LISTs", riff(chunk("LIST", "INFO") + fmt(1, 1, 8000, 8, le(0, 2)) + data(1, 8) + chunk("LIST", "INFO")), true);
        row("fmt of 17 bytes and its pad", riff(chunk("fmt ", pcm.mid(8) + 'x', true) + data(2, 16)), false);
        row("fmt of 17 bytes, unpadded", riff(chunk("fmt ", pcm.mid(8) + 'x') + data(2, 16)), true);
        row("fmt with 16 KiB more", riff(chunk("fmt ", pcm.mid(8) + QByteArray(16384, 0)) + data(2, 16)), true);
        row("fmt with 16 KiB and 2 more", riff(chunk("fmt ", pcm.mid(8) + QByteArray(16386, 0)) + data(2, 16)), false);
        row("data before fmt", riff(data(2, 16) + pcm), false);
        row("zero-length data", riff(pcm + data(2, 16, 0)), false);
        row("data ends inside a frame", riff(pcm + chunk("data", QByteArray(402, 1))), false);
        // The loader reads no pad byte after an odd chunk, so only an unpadded one plays.
        row("odd chunk, padded", riff(pcm + chunk("LIST", "abc", true) + data(2, 16)), false);
        row("odd chunk, unpadded", riff(chunk("LIST", "abc") + pcm + data(2, 16)), true);
        row("skipped chunk of 16 KiB", riff(pcm + chunk("JUNK", QByteArray(16376, 0)) + data(2, 16)), true);
        row("skipped chunk a byte longer", riff(pcm + chunk("JUNK", QByteArray(16377, 0)) + data(2, 16)), false);
        row("chunk after the data", riff(pcm + data(2, 16) + chunk("LIST", "abcd")), true);
        row("RIFF length wrong", good.left(4) + le(7, 4) + good.mid(8), true);
        row("data of 2 GiB less a frame", good.left(40) + le(0x7FFFFFFC, 4), true, 0x7FFFFFFC);
        row("data of 2 GiB", good.left(40) + le(0x80000000, 4), false, 0x80000000);
    }

    void files()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, playable);
        QFETCH(qint64, hole);
        TestFolder folder;
        folder.write("audio.wav", content.toStdString());
        std::filesystem::resize_file(folder.file("audio.wav"), content.size() + hole);
        QCOMPARE(wavcheck::isPlayableWav(folder.file("audio.wav")), playable);
    }

    // A pipe would hold up whoever opened it until a writer came: it is never opened.
    void noFile()
    {
        TestFolder folder;
        QVERIFY(!wavcheck::isPlayableWav(folder.file("missing.wav")));
        QVERIFY(!wavcheck::isPlayableWav(folder.path()));
        QVERIFY(folder.makePipe("pipe.wav"));
        QVERIFY(!wavcheck::isPlayableWav(folder.file("pipe.wav")));
    }
};

QTEST_GUILESS_MAIN(TestWavCheck)
#include "tst_wavcheck.moc"
