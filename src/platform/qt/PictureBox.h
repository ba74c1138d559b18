#pragma once

#include <QPixmap>
#include <QWidget>

// A picture at its natural size, never scaled, drawn opaque on white.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

    // The box takes the picture's size; its top-left corner stays where it is.
    void setPicture(const QPixmap &picture);
    QPixmap picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap picture_;
};
