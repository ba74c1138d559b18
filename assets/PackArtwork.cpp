// Build-time tool: turns the artwork's PNGs into a C++ source of premultiplied ARGB32 pixels,
// so that the program starts without decoding them.
// Usage: pack_artwork OUTPUT.cpp little|big PICTURE.png...
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: pack_artwork OUTPUT.cpp little|big PICTURE.png...\n");
        return 2;
    }
    const bool littleEndian = qstrcmp(argv[2], "big") != 0;
    QByteArray out = "// Made by pack_artwork from the PNGs in assets/: do not edit.\n"
                     "#include \"ArtworkPixels.h\"\n\nnamespace artworkpixels {\nnamespace {\n\n";
    QByteArray table;
    for (int i = 3; i < argc; ++i) {
        const QString path = QFile::decodeName(argv[i]);
        const QImage image = QImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) {
            std::fprintf(stderr, "pack_artwork: cannot read %s\n", argv[i]);
            return 1;
        }
        const QByteArray name = QFileInfo(path).completeBaseName().toUtf8();
        const QByteArray symbol = "pixels" + QByteArray::number(i - 3);
        // A string literal compiles far faster than a list of numbers. Octal escapes are always
        // three digits, so a digit after one cannot join it; '?' is escaped against trigraphs.
        out += "alignas(4) const char " + symbol + "[] =\n\"";
        int column = 0;
        for (int y = 0; y < image.height(); ++y) {
            const auto *line = reinterpret_cast<const quint32 *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const quint32 p = line[x];
                const uchar bytes[4] = {uchar(p >> 24), uchar(p >> 16), uchar(p >> 8), uchar(p)};
                for (int b = 0; b < 4; ++b) {
                    const uchar c = bytes[littleEndian ? 3 - b : b];
                    if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\' && c != '?') {
                        out += char(c);
                        ++column;
                    } else {
                        char escape[5];
                        std::snprintf(escape, sizeof escape, "\\%03o", c);
                        out += escape;
                        column += 4;
                    }
                    if (column >= 96) {
                        out += "\"\n\"";
                        column = 0;
                    }
                }
            }
        }
        out += "\";\n\n";
        table += "    {\"" + name + "\", " + QByteArray::number(image.width()) + ", "
                 + QByteArray::number(image.height()) + ", reinterpret_cast<const unsigned char *>(" + symbol
                 + ")},\n";
    }
    out += "} // namespace\n\nconst Picture pictures[] = {\n" + table + "};\nconst int pictureCount = "
           + QByteArray::number(argc - 3) + ";\n\n} // namespace artworkpixels\n";

    QFile file(QFile::decodeName(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size()) {
        std::fprintf(stderr, "pack_artwork: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
