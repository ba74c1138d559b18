#include "CreditsBox.h"

#include <QPainter>

CreditsBox::CreditsBox(QWidget *parent)
    : QWidget(parent)
{
    setEnabled(false);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CreditsBox::setText(const QString &text)
{
    text_ = text;
    // No event for a reader: a ticker read out at every step would drown all else, and the
    // box's text is read when asked.
    update();
}

void CreditsBox::setAlignment(Qt::Alignment alignment)
{
    alignment_ = alignment;
    update();
}

void CreditsBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Active, QPalette::Base));
    painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    // Cut off at the box's edges, as a line edit scrolled to its start shows it.
    painter.drawText(rect(), int(alignment_) | Qt::TextSingleLine, text_);
}
