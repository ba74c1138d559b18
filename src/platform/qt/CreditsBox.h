#pragma once

#include <QWidget>

// The credits box: one line of text in the colour of disabled text, with no frame, no
// cursor, no selection and no focus, and no mouse: clicks fall through to Label2 beneath.
// It draws its text itself, when it is painted; a line edit would lay its text out, and load
// a font, the moment it is made, on the way to the window's first show.
class CreditsBox : public QWidget
{
    Q_OBJECT

public:
    explicit CreditsBox(QWidget *parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString &text);
    Qt::Alignment alignment() const { return alignment_; }
    void setAlignment(Qt::Alignment alignment);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString text_;
    Qt::Alignment alignment_ = Qt::AlignHCenter | Qt::AlignVCenter;
};
