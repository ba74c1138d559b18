#pragma once

#include <QLabel>
#include <QStringList>

class QTextLayout;

// The phrase inside the balloon: plain text, each line centred, from the top edge down,
// wrapped at word boundaries to the label's width and cut off at its edges. It paints no
// background and never changes its own size.
class PhraseLabel : public QLabel
{
    Q_OBJECT

public:
    explicit PhraseLabel(QWidget *parent = nullptr);

    void setPointSize(float points);
    // The lines as laid out, those that start inside the label only.
    QStringList visibleLines() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void layOut(QTextLayout &layout) const;
};
