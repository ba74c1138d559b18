#pragma once

#include <QObject>

class QWidget;

// Turns a left-button press and release on one control into clicked(), the one event the
// window listens to on its pictures and labels.
class ClickRelay : public QObject
{
    Q_OBJECT

public:
    static ClickRelay *attach(QWidget *control);

signals:
    void clicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit ClickRelay(QWidget *control);

    bool pressed_ = false;
};
