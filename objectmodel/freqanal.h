#pragma once
// CFreqAnal: oscillation frequency of a data series from its turning points.

#include "platform/core/object.h"

#include <optional>

class CDataArray;

class CFreqAnal : public CObject
{
    DECLARE_DYNAMIC(CFreqAnal)
public:
    CFreqAnal() = default;

    // Half the number of peaks and valleys per time span (values written
    // times spacing), kept and returned. Nothing, with the frequency left as
    // it was, for fewer than 3 values or a time span that yields no finite
    // frequency (spacing 0). The series is not changed.
    std::optional<float> CalcFrequency(const CDataArray& series);

    float GetFrequency() const { return m_fFrequency; }

private:
    float m_fFrequency = 0.0f;
};
