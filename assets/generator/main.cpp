// artgen: draws all of Ciarlatronix's pictures.
//   artgen OUTDIR
// writes name.png and name@2x.png for each picture, the sample photo,
// the application icons and the resource file listing the pictures.

#include "canvas.h"
#include "pictures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

namespace {

struct VectorPicture {
    const char *name;
    QSize size;
    DrawFn draw;
};

int failures = 0;

void fail(const QString &what)
{
    std::fprintf(stderr, "artgen: %s\n", qPrintable(what));
    ++failures;
}

void save(const QImage &img, const QString &path, const char *format = nullptr, int quality = -1)
{
    if (!img.save(path, format, quality))
        fail("cannot write " + path);
}

// Places in the window where other things go on top: keep them as promised.
void expectColor(const QImage &img, const QRect &logical, int scale, QRgb color,
                 const char *what)
{
    const QRect r(logical.topLeft() * scale, logical.size() * scale);
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixel(x, y) != color) {
                fail(QString("%1 at %2x: pixel %3,%4 is off").arg(what).arg(scale).arg(x).arg(y));
                return;
            }
}

void checkPicture(const QString &name, const QImage &img, int scale)
{
    const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0);
    if (name == "frame") {
        expectColor(img, QRect(40, 40, 550 - 80, 304 - 80), scale, white, "frame inside");
        expectColor(img, QRect(530, 0, 20, 20), scale, black, "frame close corner");
        for (const QRect &c : {QRect(0, 0, 6, 6), QRect(544, 0, 6, 6), QRect(0, 298, 6, 6),
                               QRect(544, 298, 6, 6)})
            expectColor(img, c, scale, black, "frame corner");
    } else if (name == "fumetto") {
        // the text box's two lower corner pixels poke past the rounded corners,
        // so those are left out
        expectColor(img, QRect(24, 16, 315 - 24, 100 - 16), scale, white, "balloon text box");
        expectColor(img, QRect(29, 100, 308 - 29, 105 - 100), scale, white, "balloon text box");
    } else if (name == "logo") {
        expectColor(img, QRect(0, 0, 300, 30), scale, white, "logo top strip");
        expectColor(img, QRect(0, 116, 300, 14), scale, white, "logo bottom strip");
    }
}

QImage iconAt(int size)
{
    const QImage base = renderPixels(iconArt(), 1);
    if (size < base.width())
        return base.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return base.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

} // namespace

int main(int argc, char **argv)
{
    // text is drawn too, which needs a platform; none needs a display
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: artgen OUTDIR [PHOTODIR]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    // The sample photo is data the program reads at run time, not built-in art.
    const QDir photoOut(QString::fromLocal8Bit(argv[argc - 1]));
    if (!out.mkpath(".") || !photoOut.mkpath(".")) {
        std::fprintf(stderr, "artgen: cannot create the output folders\n");
        return 1;
    }

    const QList<VectorPicture> pictures{
        {"frame", {550, 304}, drawFrame},
        {"link", {121, 68}, drawLink},
        {"close", {10, 10}, drawClose},
        {"faccia", {100, 150}, drawFaccia},
        {"fumetto", {335, 139}, drawFumetto},
        {"logo", {300, 130}, drawLogo},
    };

    const auto fileName = [](const QString &name, int scale) {
        return scale == 1 ? name + ".png" : QString("%1@%2x.png").arg(name).arg(scale);
    };

    for (const VectorPicture &pic : pictures)
        for (int scale : {1, 2}) {
            const QImage img = renderVector(pic.size, scale, pic.draw);
            checkPicture(pic.name, img, scale);
            save(img, out.filePath(fileName(pic.name, scale)));
        }

    for (int scale : {1, 2}) {
        save(renderPixels(iconArt(), scale), out.filePath(fileName("icon", scale)));
    }
    for (int scale : {1, 2}) {
        save(renderPixelsIndexed(handArt(), scale), out.filePath(fileName("hand", scale)));
    }

    // painted at 3x and reduced, for soft edges like a real photo's
    const QImage photo = renderVector({100, 150}, 3, drawPhoto)
                             .scaled(100, 150, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    save(photo, photoOut.filePath("foto.jpg"), "JPG", 90);

    for (int size : {48, 128, 256})
        save(iconAt(size), out.filePath(QString("ciarlatronix-%1.png").arg(size)));
    if (!writeIco(out.filePath("ciarlatronix.ico"),
                  {iconAt(16), iconAt(32), iconAt(48), iconAt(256)}))
        fail("cannot write ciarlatronix.ico");

    return failures ? 1 : 0;
}
