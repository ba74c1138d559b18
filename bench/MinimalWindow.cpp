// The least a Qt program can do: show an empty window of Ciarlatronix's size. The start-up
// benchmark measures against it.
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setFixedSize(550, 304);
    window.show();
    return application.exec();
}
