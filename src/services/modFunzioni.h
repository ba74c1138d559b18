#pragma once

#include <QString>

class ErrorReporter;
class SystemServices;

namespace modFunzioni {

// Plays a WAV file once in the background; reports its own failures and never passes one on.
void API_PlaySound(const QString &path, SystemServices &services, ErrorReporter &reporter);

} // namespace modFunzioni
