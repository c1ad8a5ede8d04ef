#pragma once
// The limits of the tail search: how far from an object's body its ring
// runs and how strong a peak on the ring must be to count as a tail.

namespace kestrun {

// Radius of the ring around a body whose largest inner distance is
// innerDistance (bodies thinner than 4 count as 4).
int TailRingRadius(double innerDistance, int tailColor);
// The least peak that counts as a tail at this detection level.
double TailPeakLimit(int flagellumDetection, int tailColor);

} // namespace kestrun
