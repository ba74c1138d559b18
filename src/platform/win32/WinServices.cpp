#include "WinServices.h"

#include "WinShell.h"
#include "WinText.h"
#include "phrases/Failure.h"

void WinServices::playSound(const std::filesystem::path &path)
{
    const std::string ansiPath = wintext::ansi(path.wstring());
    std::string error;
    if (!win32::playSound(ansiPath.c_str(), win32::SoundAsyncNoDefault, error))
        throw phrases::Failure(error);
}

void WinServices::openAddress(const std::string &address, std::uintptr_t ownerWindow)
{
    const std::string ansiAddress = wintext::ansi(wintext::wide(address));
    std::string error;
    if (!win32::openWithShell(reinterpret_cast<void *>(ownerWindow), ansiAddress.c_str(), error))
        throw phrases::Failure(error);
}
