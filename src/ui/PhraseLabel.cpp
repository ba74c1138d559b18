#include "PhraseLabel.h"

#include "LabelText.h"

#include <QPainter>
#include <QTextLayout>

PhraseLabel::PhraseLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void PhraseLabel::setPointSize(float points)
{
    QFont shown = font();
    shown.setPointSizeF(points);
    setFont(shown);
}

void PhraseLabel::layOut(QTextLayout &layout) const
{
    const LabelText text = LabelText::fromText(this->text());
    layout.setText(text.shown);
    layout.setFont(font());
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);

    QList<QTextLayout::FormatRange> underlines;
    for (int position : text.marked) {
        QTextCharFormat underline;
        underline.setFontUnderline(true);
        underlines.append({position, 1, underline});
    }
    layout.setFormats(underlines);

    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width());
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
}

QStringList PhraseLabel::visibleLines() const
{
    QTextLayout layout;
    layOut(layout);
    QStringList lines;
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        if (line.y() < height())
            lines.append(layout.text().mid(line.textStart(), line.textLength()));
    }
    return lines;
}

void PhraseLabel::paintEvent(QPaintEvent *)
{
    QTextLayout layout;
    layOut(layout);
    QPainter painter(this);
    painter.setClipRect(rect());
    painter.setPen(palette().color(QPalette::WindowText));
    layout.draw(&painter, QPointF(0, 0));
}
