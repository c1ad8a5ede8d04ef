#include "analysis/featurecodes.h"

#include "analysis/objdatabase.h"
#include "objectmodel/featurecodes.h"

using kestrun::FeatureSource;

bool IsFeatureOn(const CObjDataBase& record, int code)
{
    return code > 0 && kestrun::IsFeatureCodeOn(record.m_Type, static_cast<DWORD>(code));
}

double GetFeatureValue(const CObjDataBase& record, int code)
{
    const kestrun::FeatureCode* entry = code > 0 ? kestrun::FindFeatureCode(static_cast<DWORD>(code)) : nullptr;
    if (entry == nullptr)
        return 0.0;
    switch (entry->source) {
    case FeatureSource::Area:
        return record.GetArea();
    case FeatureSource::FormFactor:
        return record.GetFormFactor();
    case FeatureSource::Length:
        return record.GetLength();
    case FeatureSource::Width:
        return record.GetWidth();
    case FeatureSource::Roundness:
        return record.GetRoundness();
    case FeatureSource::MeanColorRed:
    case FeatureSource::MeanColorGreen:
    case FeatureSource::MeanColorBlue:
        return kestrun::ColorChannelValue(record.GetMeanColor(), entry->source);
    case FeatureSource::Homogeneity:
        return record.GetHomogeneity();
    case FeatureSource::Convexity:
        return record.GetConvexity();
    case FeatureSource::TailLength:
        return record.GetTailLength();
    case FeatureSource::TailAngle:
        return record.GetTailAngle();
    default:
        // Values that only records beyond the segmented object carry.
        return 0.0;
    }
}
