#pragma once

#include "ErrorReporter.h"

#include <QPointer>
#include <QWidget>

// Shows each report in a critical message box with the single button OK.
class MessageBoxReporter : public ErrorReporter
{
public:
    void setOwner(QWidget *owner) { owner_ = owner; }
    void report(const QString &message) override;

private:
    QPointer<QWidget> owner_;
};
