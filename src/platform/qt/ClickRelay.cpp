#include "ClickRelay.h"

#include <QMouseEvent>
#include <QWidget>

ClickRelay::ClickRelay(QWidget *window, std::function<layout::Size()> photoSize)
    : QObject(window), window_(window), photoSize_(std::move(photoSize))
{
}

void ClickRelay::watch(QWidget *control)
{
    control->installEventFilter(this);
}

bool ClickRelay::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick
        && type != QEvent::MouseButtonRelease)
        return QObject::eventFilter(watched, event);
    const auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() != Qt::LeftButton)
        return QObject::eventFilter(watched, event);

    const QPoint at = static_cast<QWidget *>(watched)->mapTo(window_, mouse->position().toPoint());
    // The window hears what no control took: a control's own press passes up to it as well.
    if (watched == window_ && window_->childAt(at))
        return QObject::eventFilter(watched, event);
    const layout::Control under = layout::hitTest({at.x(), at.y()}, photoSize_());
    if (type == QEvent::MouseButtonRelease) {
        const layout::Control control = tracker_.release(under);
        if (control != layout::Control::None)
            emit clicked(control);
    } else {
        tracker_.press(under, type == QEvent::MouseButtonDblClick);
    }
    return QObject::eventFilter(watched, event);
}
