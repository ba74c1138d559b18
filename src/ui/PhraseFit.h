#pragma once

#include <functional>

namespace phrasefit {

inline constexpr float SmallestPoints = 6.0f;
inline constexpr float StepPoints = 0.5f;

// The size the phrase label draws at: the requested size when the phrase fits the label
// whole, else the largest smaller size in half-point steps, down to 6 points, at which it
// fits; 6 points, cut at the label's edges, when even that is too big. fits() measures the
// wrapped phrase at a size.
float drawnSize(float requested, const std::function<bool(float points)> &fits);

} // namespace phrasefit
