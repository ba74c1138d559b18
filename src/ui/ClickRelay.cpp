#include "ClickRelay.h"

#include <QMouseEvent>
#include <QWidget>

ClickRelay::ClickRelay(QWidget *control)
    : QObject(control)
{
    control->installEventFilter(this);
}

ClickRelay *ClickRelay::attach(QWidget *control)
{
    return new ClickRelay(control);
}

bool ClickRelay::eventFilter(QObject *watched, QEvent *event)
{
    const auto *control = static_cast<QWidget *>(watched);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            pressed_ = true;
        break;
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        // Like a button: releasing elsewhere cancels the click.
        const bool inside = control->rect().contains(mouse->position().toPoint());
        const bool click = pressed_ && inside;
        pressed_ = false;
        if (click)
            emit clicked();
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
