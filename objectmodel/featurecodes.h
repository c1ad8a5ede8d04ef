#pragma once
// The feature codes through which the classifier and the object marks walk
// the features of a measured object: for each code the flag bits that must
// be set in the record's feature flag word, and the record value it reads.

#include "platform/core/types.h"

#include <span>

namespace kestrun {

// The record accessor that supplies a feature code's value. The colour
// channels are bytes of the mean colour (red the lowest).
enum class FeatureSource
{
    Area,
    FormFactor,
    Length,
    Width,
    Roundness,
    MeanColorRed,
    MeanColorGreen,
    MeanColorBlue,
    Homogeneity,
    Convexity,
    TailLength,
    TailAngle,
    // Values that records beyond the segmented object fill (0.0 there).
    Extra1,
    Extra2,
    Extra3,
    Extra4,
    Extra5,
    Extra6,
};

struct FeatureCode
{
    DWORD code;
    DWORD flags; // every bit must be set for the feature to be on
    FeatureSource source;
};

// Every feature code in ascending order.
std::span<const FeatureCode> FeatureCodes();
// The entry of a code; null for a code that is no feature.
const FeatureCode* FindFeatureCode(DWORD code);
// Whether the feature is on in a record's flag word; false for unknown codes.
bool IsFeatureCodeOn(DWORD flagWord, DWORD code);
// The byte of a colour that a colour source reads, as a double; 0.0 for
// sources that are no colour channel.
double ColorChannelValue(COLORREF color, FeatureSource source);

} // namespace kestrun
