#include "objectmodel/featurecodes.h"

#include <algorithm>
#include <array>

namespace kestrun {

namespace {

constexpr std::array<FeatureCode, 18> kFeatureCodes = {{
    {0x1, 0x4, FeatureSource::Area},
    {0x2, 0x8, FeatureSource::FormFactor},
    {0x4, 0x10, FeatureSource::Length},
    {0x8, 0x20, FeatureSource::Width},
    {0x10, 0x10 | 0x20, FeatureSource::Roundness},
    {0x20, 0x100, FeatureSource::MeanColorRed},
    {0x40, 0x200, FeatureSource::MeanColorGreen},
    {0x80, 0x400, FeatureSource::MeanColorBlue},
    {0x100, 0x800, FeatureSource::Homogeneity},
    {0x200, 0x1000, FeatureSource::Convexity},
    {0x400, 0x40000, FeatureSource::TailLength},
    {0x800, 0x40000, FeatureSource::TailAngle},
    {0x1000, 0x1000000, FeatureSource::Extra1},
    {0x2000, 0x2000000, FeatureSource::Extra2},
    {0x4000, 0x4000000, FeatureSource::Extra3},
    {0x8000, 0x8000000, FeatureSource::Extra4},
    {0x10000, 0x10000000, FeatureSource::Extra5},
    {0x20000, 0x20000000, FeatureSource::Extra6},
}};

} // namespace

std::span<const FeatureCode> FeatureCodes()
{
    return kFeatureCodes;
}

const FeatureCode* FindFeatureCode(DWORD code)
{
    const auto it = std::find_if(kFeatureCodes.begin(), kFeatureCodes.end(), [code](const FeatureCode& entry) { return entry.code == code; });
    return it != kFeatureCodes.end() ? &*it : nullptr;
}

bool IsFeatureCodeOn(DWORD flagWord, DWORD code)
{
    const FeatureCode* entry = FindFeatureCode(code);
    return entry != nullptr && (flagWord & entry->flags) == entry->flags;
}

double ColorChannelValue(COLORREF color, FeatureSource source)
{
    switch (source) {
    case FeatureSource::MeanColorRed:
        return GetRValue(color);
    case FeatureSource::MeanColorGreen:
        return GetGValue(color);
    case FeatureSource::MeanColorBlue:
        return GetBValue(color);
    default:
        return 0.0;
    }
}

} // namespace kestrun
