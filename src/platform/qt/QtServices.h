#pragma once

#include "services/SystemServices.h"

#include <QObject>

class QSoundEffect;

// The sound through Qt Multimedia, the address through the desktop's URL handler.
class QtServices : public QObject, public SystemServices
{
    Q_OBJECT

public:
    explicit QtServices(QObject *parent = nullptr);

    void playSound(const std::filesystem::path &path) override;
    void openAddress(const std::string &address, std::uintptr_t ownerWindow) override;

private:
    QSoundEffect *sound_ = nullptr;
};
