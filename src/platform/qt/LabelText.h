#pragma once

#include <QList>
#include <QString>

// What a label shows for its text: "&x" shows x marked as the access key, "&&" shows one
// ampersand, and CR LF (or a lone CR or LF) breaks the line. No markup is ever read.
struct LabelText
{
    QString shown;
    QList<int> marked; // positions in shown

    static LabelText fromText(const QString &text);
};
