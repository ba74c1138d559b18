#pragma once

#include <cstdint>

namespace phrases {

// Where the phrase draw gets its numbers; tests put in fixed ones.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual void reseed() = 0;
    // A single-precision number r with 0 <= r < 1.
    virtual float next() = 0;
};

// Reseeded from a nanosecond clock before every draw, mixed into the running state, so
// two draws within one clock tick still differ.
class ClockSeededRandom : public RandomSource
{
public:
    ClockSeededRandom();
    void reseed() override;
    float next() override;

private:
    std::uint64_t state_;
};

} // namespace phrases
