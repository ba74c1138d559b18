#include "PlatformServices.h"

#include "phrases/Failure.h"

#ifdef _WIN32
#include "WinShell.h"
#else
#include "WavCheck.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>
#endif

PlatformServices::PlatformServices(QObject *parent)
    : QObject(parent)
{
}

#ifdef _WIN32

namespace {
// The Windows calls take text in the system's 8-bit code page.
QByteArray toAnsi(const QString &text)
{
    return text.toLocal8Bit();
}
} // namespace

void PlatformServices::playSound(const QString &path)
{
    std::string error;
    if (!win32::playSound(toAnsi(path).constData(), win32::SoundAsyncNoDefault, error))
        throw phrases::Failure(error);
}

void PlatformServices::openAddress(const QString &address, WId owner)
{
    std::string error;
    if (!win32::openWithShell(reinterpret_cast<void *>(owner), toAnsi(address).constData(), error))
        throw phrases::Failure(error);
}

#else

void PlatformServices::playSound(const QString &path)
{
    // Only a whole, playable file reaches the player; anything else stays silent.
    const QFileInfo file(path);
    if (!file.isFile() || !wavcheck::isCompletePcmWav(file.absoluteFilePath()))
        return;
    if (!sound_)
        sound_ = new QSoundEffect(this);
    sound_->setLoopCount(1);
    sound_->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
    sound_->play();
}

void PlatformServices::openAddress(const QString &address, WId)
{
    QDesktopServices::openUrl(QUrl(address));
}

#endif
