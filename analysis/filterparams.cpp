#include "analysis/filterparams.h"

#include "objectmodel/toolfunctions.h"
#include "platform/core/profile.h"

namespace {

constexpr const char* kSection = "ImageFilter";

} // namespace

sFilterParameters sFilterParams;

void InitFilterDefaults(sFilterParameters& params)
{
    params = sFilterParameters{};
}

void ReadFilterParams(sFilterParameters& params)
{
    params.Iterations = static_cast<int>(GetProfileInt(kSection, "Iterations", params.Iterations));
    params.KernelWidth = static_cast<int>(GetProfileInt(kSection, "KernelWidth", params.KernelWidth));
    params.ThresholdCanny1 = GetProfileDouble(kSection, "ThresholdCanny1", params.ThresholdCanny1);
    params.ThresholdCanny2 = GetProfileDouble(kSection, "ThresholdCanny2", params.ThresholdCanny2);
    params.MorphologyType = static_cast<int>(GetProfileInt(kSection, "MorphologyType", params.MorphologyType));
}

void WriteFilterParams(const sFilterParameters& params)
{
    WriteProfileInt(kSection, "Iterations", params.Iterations);
    WriteProfileInt(kSection, "KernelWidth", params.KernelWidth);
    WriteProfileDouble(kSection, "ThresholdCanny1", params.ThresholdCanny1);
    WriteProfileDouble(kSection, "ThresholdCanny2", params.ThresholdCanny2);
    WriteProfileInt(kSection, "MorphologyType", params.MorphologyType);
}
