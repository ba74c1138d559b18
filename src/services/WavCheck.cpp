#include "WavCheck.h"

#include <QFile>
#include <QtEndian>

namespace wavcheck {
namespace {

constexpr quint16 FormatPcm = 1;
constexpr quint16 FormatExtensible = 0xFFFE;

quint32 le32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

quint16 le16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

bool isPlayableFormat(const QByteArray &fmt)
{
    if (fmt.size() < 16)
        return false;
    quint16 format = le16(fmt.constData());
    if (format == FormatExtensible && fmt.size() >= 26)
        format = le16(fmt.constData() + 24); // the sub-format GUID starts with the format code
    const quint16 channels = le16(fmt.constData() + 2);
    const quint32 rate = le32(fmt.constData() + 4);
    const quint16 bits = le16(fmt.constData() + 14);
    return format == FormatPcm && (channels == 1 || channels == 2) && rate >= 1000 && rate <= 192000
           && (bits == 8 || bits == 16);
}

} // namespace

bool isCompletePcmWav(const QString &path, qint64 maxBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    if (size < 44 || size > maxBytes)
        return false;
    const QByteArray riff = file.read(12);
    if (riff.size() != 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE")
        return false;
    bool formatSeen = false;
    while (file.pos() + 8 <= size) {
        const QByteArray header = file.read(8);
        const qint64 length = le32(header.constData() + 4);
        const qint64 body = file.pos();
        if (body + length > size)
            return false; // cut short
        if (header.startsWith("fmt ")) {
            if (length > 1024 || !isPlayableFormat(file.read(length)))
                return false;
            formatSeen = true;
        } else if (header.startsWith("data")) {
            return formatSeen && length > 0;
        }
        if (!file.seek(body + length + (length & 1)))
            return false;
    }
    return false;
}

} // namespace wavcheck
