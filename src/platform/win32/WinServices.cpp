#include "WinServices.h"

#include "WinShell.h"
#include "WinText.h"
#include "phrases/Failure.h"

#include <windows.h>

namespace {

// A path the ANSI code page cannot spell (a user's folder named in another script, say) may
// still have a short name, which it can.
std::string ansiPathOf(const std::filesystem::path &path)
{
    try {
        return wintext::ansi(path.wstring());
    } catch (const phrases::Failure &) {
        std::wstring shortPath(32768, L'\0');
        const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), DWORD(shortPath.size()));
        if (length == 0 || length >= shortPath.size())
            throw;
        shortPath.resize(length);
        return wintext::ansi(shortPath);
    }
}

} // namespace

void WinServices::playSound(const std::filesystem::path &path)
{
    const std::string ansiPath = ansiPathOf(path);
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
