#include "QtServices.h"

#include "WavCheck.h"

#include <QDesktopServices>
#include <QSoundEffect>
#include <QString>
#include <QUrl>

QtServices::QtServices(QObject *parent)
    : QObject(parent)
{
}

void QtServices::playSound(const std::filesystem::path &path)
{
    // Only a whole, playable file reaches the player; anything else stays silent.
    if (!wavcheck::isPlayableWav(path))
        return;
    if (!sound_)
        sound_ = new QSoundEffect(this);
    sound_->setLoopCount(1);
    sound_->setSource(QUrl::fromLocalFile(QString::fromStdU16String(std::filesystem::absolute(path).u16string())));
    sound_->play();
}

void QtServices::openAddress(const std::string &address, std::uintptr_t)
{
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
}
