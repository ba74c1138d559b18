#include "TestSupport.h"

#include <QFile>
#include <QtGlobal>

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
