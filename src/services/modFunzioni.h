#pragma once

#include <filesystem>

class ErrorReporter;
class SystemServices;

namespace modFunzioni {

// Plays a WAV file once in the background; reports its own failures and never passes one on.
void API_PlaySound(const std::filesystem::path &path, SystemServices &services, ErrorReporter &reporter);

} // namespace modFunzioni
