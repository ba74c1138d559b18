#pragma once

#include "SystemServices.h"

#include <QObject>

class QSoundEffect;

// The real services: the Windows API on Windows, Qt Multimedia and the desktop's URL
// handler elsewhere. Failures to reach them are thrown as phrases::Failure.
class PlatformServices : public QObject, public SystemServices
{
    Q_OBJECT

public:
    explicit PlatformServices(QObject *parent = nullptr);

    void playSound(const QString &path) override;
    void openAddress(const QString &address, WId owner) override;

private:
    QSoundEffect *sound_ = nullptr;
};
