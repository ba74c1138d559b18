#pragma once

#include <QObject>
#include <QTimer>

// A timer with an enabled flag and an interval that ticks only while it is enabled with an
// interval above zero; an interval of 0 means "stopped", never "as fast as possible".
class IntervalTimer : public QObject
{
    Q_OBJECT

public:
    explicit IntervalTimer(QObject *parent = nullptr);

    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    int interval() const { return interval_; }
    void setInterval(int milliseconds);
    bool isTicking() const { return timer_.isActive(); }

signals:
    void timeout();

private:
    void apply();

    QTimer timer_;
    bool enabled_ = true;
    int interval_ = 0;
};
