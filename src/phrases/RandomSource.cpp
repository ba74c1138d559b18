#include "RandomSource.h"

#include <chrono>

namespace phrases {
namespace {

std::uint64_t clockReading()
{
    return static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())
           ^ static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

// splitmix64: a full-period generator whose output is well mixed even from close seeds.
std::uint64_t splitmix(std::uint64_t &state)
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

} // namespace

ClockSeededRandom::ClockSeededRandom()
    : state_(clockReading())
{
}

void ClockSeededRandom::reseed()
{
    std::uint64_t mixer = clockReading();
    state_ ^= splitmix(mixer);
}

float ClockSeededRandom::next()
{
    // 24 bits fill a float's mantissa exactly, so the result stays below 1.
    return static_cast<float>(splitmix(state_) >> 40) * (1.0f / 16777216.0f);
}

} // namespace phrases
