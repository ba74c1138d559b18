#pragma once

#include "services/SystemServices.h"

// The sound and the link through the two old ANSI calls, as the program always made them.
class WinServices : public SystemServices
{
public:
    void playSound(const std::filesystem::path &path) override;
    void openAddress(const std::string &address, std::uintptr_t ownerWindow) override;
};
