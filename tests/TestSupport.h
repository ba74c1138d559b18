#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A scratch application folder for the Qt tests.
class TestFolder
{
public:
    TestFolder();
    QString path() const { return dir_.path(); }
    QString file(const QString &name) const { return dir_.filePath(name); }
    void write(const QString &name, const QByteArray &content) const;

private:
    QTemporaryDir dir_;
};
