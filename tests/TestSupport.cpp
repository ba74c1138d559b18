#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>

TestFolder::TestFolder()
{
    if (!dir_.isValid())
        qFatal("no temporary folder");
}

void TestFolder::write(const QString &name, const QByteArray &content) const
{
    QFile out(file(name));
    if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(out.fileName()));
}

void TestFolder::writePhoto(const QString &name, int width, int height) const
{
    QImage photo(width, height, QImage::Format_RGB32);
    photo.fill(QColor(200, 120, 60));
    if (!photo.save(file(name), "JPG"))
        qFatal("cannot write a photo");
}

void TestFolder::remove(const QString &name) const
{
    QFileInfo info(file(name));
    if (info.isDir())
        QDir(info.filePath()).removeRecursively();
    else
        QFile::remove(info.filePath());
}

