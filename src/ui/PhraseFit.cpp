#include "PhraseFit.h"

#include <cmath>

namespace phrasefit {

float drawnSize(float requested, const std::function<bool(float)> &fits)
{
    if (requested <= SmallestPoints || fits(requested))
        return requested;
    for (float points = std::ceil(requested / StepPoints) * StepPoints - StepPoints; points > SmallestPoints;
         points -= StepPoints) {
        if (fits(points))
            return points;
    }
    return SmallestPoints;
}

} // namespace phrasefit
