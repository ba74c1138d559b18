#include "modFunzioni.h"

#include "SystemServices.h"
#include "common/ErrorTrap.h"

namespace modFunzioni {

void API_PlaySound(const std::filesystem::path &path, SystemServices &services, ErrorReporter &reporter)
{
    ErrorTrap trap(reporter, "API_PlaySound", ErrorTrap::Kind::Routine);
    trap.run([&] { services.playSound(path); });
}

} // namespace modFunzioni
