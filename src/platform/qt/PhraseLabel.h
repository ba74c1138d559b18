#pragma once

#include <QLabel>
#include <QStringList>

class QTextLayout;

// The phrase inside the balloon: plain text, each line centred, from the top edge down,
// wrapped at word boundaries to the label's width and cut off at its edges. A phrase too
// long for the label at the size asked for is drawn smaller, until it fits. It paints no
// background and never changes its own size.
class PhraseLabel : public QLabel
{
    Q_OBJECT

public:
    explicit PhraseLabel(QWidget *parent = nullptr);

    // Hides QLabel::setText to tell the accessibility bus, even when the phrase drawn is
    // the one already shown: a screen reader then reads it again, as a sighted user sees
    // the balloon answer the click.
    void setText(const QString &text);

    void setPointSize(float points);
    float requestedPointSize() const { return requested_; }
    float drawnPointSize() const;
    // The lines as drawn, those that start inside the label only.
    QStringList visibleLines() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    // Not QLabel's: on taking the focus it sets up text editing, whose events tell a screen
    // reader that the phrase was typed in again, in blanks, before the focus itself.
    void focusInEvent(QFocusEvent *event) override { QWidget::focusInEvent(event); }

private:
    // Lays the text out at points; returns the height it takes.
    qreal layOut(QTextLayout &layout, float points) const;

    float requested_ = 8.0f;
    // Measuring takes a few layouts; paints reuse the answer until the phrase changes.
    mutable QString measuredText_;
    mutable float measuredRequest_ = -1.0f;
    mutable float measuredSize_ = 8.0f;
};
