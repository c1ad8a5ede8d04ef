#include "objectmodel/freqanal.h"

#include "objectmodel/dataarray.h"

#include <cmath>

IMPLEMENT_DYNAMIC(CFreqAnal, CObject)

std::optional<float> CFreqAnal::CalcFrequency(const CDataArray& series)
{
    const int n = series.GetRowCount();
    if (n < 3)
        return std::nullopt;

    // A small rise counts as level, so that flat stretches make no turns;
    // the single-precision 0.1 keeps the counts of stored results.
    constexpr double kLevel = static_cast<double>(0.1f);
    int changes = 0;
    for (int i = 1; i + 1 < n; ++i) {
        const double d1 = series.GetAt(i) - series.GetAt(i - 1) + kLevel;
        const double d2 = series.GetAt(i + 1) - series.GetAt(i) + kLevel;
        if ((d1 >= 0.0 && d2 < 0.0) || (d1 < 0.0 && d2 > 0.0))
            ++changes;
    }
    const double span = series.GetDX() * n;
    const double frequency = (changes / 2) / span;
    if (span == 0.0 || !std::isfinite(frequency))
        return std::nullopt;
    m_fFrequency = static_cast<float>(frequency);
    return m_fFrequency;
}
