#include "LabelText.h"

LabelText LabelText::fromText(const QString &text)
{
    LabelText result;
    result.shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'&') {
            if (++i == text.size())
                break;
            if (text.at(i) != u'&')
                result.marked.append(int(result.shown.size()));
            result.shown.append(text.at(i));
        } else if (c == u'\r') {
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            result.shown.append(QChar::LineSeparator);
        } else if (c == u'\n') {
            result.shown.append(QChar::LineSeparator);
        } else {
            result.shown.append(c);
        }
    }
    return result;
}
