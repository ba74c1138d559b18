#pragma once

#include "common/ErrorReporter.h"

#include <QPointer>
#include <QWidget>

// Shows each report in a critical message box with the single button OK, as plain text.
class MessageBoxReporter : public ErrorReporter
{
public:
    void setOwner(QWidget *owner) { owner_ = owner; }
    void report(const std::u16string &message) override;

private:
    QPointer<QWidget> owner_;
};
