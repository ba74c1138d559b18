#include "IntervalTimer.h"

IntervalTimer::IntervalTimer(QObject *parent)
    : QObject(parent)
{
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &IntervalTimer::timeout);
}

void IntervalTimer::setEnabled(bool enabled)
{
    enabled_ = enabled;
    apply();
}

void IntervalTimer::setInterval(int milliseconds)
{
    interval_ = milliseconds < 0 ? 0 : milliseconds;
    apply();
}

void IntervalTimer::apply()
{
    if (enabled_ && interval_ > 0)
        timer_.start(interval_);
    else
        timer_.stop();
}
