#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// The two things the program asks of the operating system. Tests record them instead.
class SystemServices
{
public:
    virtual ~SystemServices() = default;

    // Starts playing a WAV file once and returns at once. A file that cannot be played
    // plays nothing, not even a default sound, and is no failure.
    virtual void playSound(const std::filesystem::path &path) = 0;

    // Hands an address to the user's default handler on behalf of the owner window; what
    // the handler makes of it is its own business.
    virtual void openAddress(const std::string &address, std::uintptr_t ownerWindow) = 0;
};
