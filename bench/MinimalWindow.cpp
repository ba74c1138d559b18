// The least a Qt program with Ciarlatronix's start can do: start the tune beside it with
// QSoundEffect, then show a bare frameless window of the same size. The start-up benchmark
// measures against it.
#include <QApplication>
#include <QSoundEffect>
#include <QUrl>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QSoundEffect tune;
    tune.setSource(QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + QStringLiteral("/audio.wav")));
    tune.play();
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setFixedSize(550, 304);
    window.show();
    return application.exec();
}
