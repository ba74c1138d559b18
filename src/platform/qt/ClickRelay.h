#pragma once

#include "ui/ClickTracker.h"

#include <QObject>

#include <functional>

class QWidget;

// Watches the mouse on the window's controls, and on the window itself where no control is
// hit, and turns a left-button press and release on one control into clicked(). Which
// control lies under the pointer is the layout's rule.
class ClickRelay : public QObject
{
    Q_OBJECT

public:
    ClickRelay(QWidget *window, std::function<layout::Size()> photoSize);

    void watch(QWidget *control);

signals:
    void clicked(layout::Control control);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *window_;
    std::function<layout::Size()> photoSize_;
    ClickTracker tracker_;
};
