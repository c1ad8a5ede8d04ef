#pragma once
// What the chart controls do with a range before they scale by it.

namespace kestrun {

// A range of one value gets a unit span around it, so that no scale
// divides by 0.
inline void WidenToUnitSpan(double& low, double& high)
{
    if (low == high) {
        low -= 0.5;
        high += 0.5;
    }
}

} // namespace kestrun
