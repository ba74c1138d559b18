#include "PhraseLabel.h"

#include "Accessibility.h"
#include "LabelText.h"
#include "ui/PhraseFit.h"

#include <QAccessible>
#include <QPainter>
#include <QTextLayout>

PhraseLabel::PhraseLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void PhraseLabel::setText(const QString &text)
{
    const QString before = QLabel::text();
    QLabel::setText(text);
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent changed(this, 0, accessibility::spokenText(before), accessibility::spokenText(text));
        QAccessible::updateAccessibility(&changed);
        accessibility::nameChanged(this, before != text);
    }
}

void PhraseLabel::setPointSize(float points)
{
    requested_ = points;
    QFont shown = font();
    shown.setPointSizeF(points);
    setFont(shown);
}

qreal PhraseLabel::layOut(QTextLayout &layout, float points) const
{
    const LabelText text = LabelText::fromText(this->text());
    QFont face = font();
    face.setPointSizeF(points);
    layout.setText(text.shown);
    layout.setFont(face);
    QTextOption option(Qt::AlignHCenter);
    // A word wider than the label is broken where it must be rather than cut off.
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
    return y;
}

float PhraseLabel::drawnPointSize() const
{
    if (measuredRequest_ != requested_ || measuredText_ != text()) {
        measuredSize_ = phrasefit::drawnSize(requested_, [this](float points) {
            QTextLayout layout;
            return layOut(layout, points) <= height();
        });
        measuredRequest_ = requested_;
        measuredText_ = text();
    }
    return measuredSize_;
}

QStringList PhraseLabel::visibleLines() const
{
    QTextLayout layout;
    layOut(layout, drawnPointSize());
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
    layOut(layout, drawnPointSize());
    QPainter painter(this);
    painter.setClipRect(rect());
    painter.setPen(palette().color(QPalette::WindowText));
    layout.draw(&painter, QPointF(0, 0));
}
