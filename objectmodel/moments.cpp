#include "objectmodel/moments.h"

#include <cmath>

BOOL CalcMoments(std::span<const float> values, double& mean, double& meanAbsDev, double& stdDev, double& variance,
                 double& skewness, double& kurtosis)
{
    const size_t count = values.size();
    if (count < 2)
        return FALSE;
    const double n = static_cast<double>(count);

    double sum = 0.0;
    for (const float v : values)
        sum += v;
    mean = sum / n;

    double absSum = 0.0;
    double devSum = 0.0; // rounding left in the mean, corrects the variance
    double sum2 = 0.0;
    double sum3 = 0.0;
    double sum4 = 0.0;
    for (const float v : values) {
        const double d = v - mean;
        absSum += std::fabs(d);
        devSum += d;
        const double d2 = d * d;
        sum2 += d2;
        sum3 += d2 * d;
        sum4 += d2 * d2;
    }
    meanAbsDev = absSum / n;
    variance = (sum2 - devSum * devSum / n) / (n - 1.0);
    stdDev = std::sqrt(variance);
    if (variance == 0.0) {
        skewness = 0.0;
        kurtosis = 0.0;
        return FALSE;
    }
    skewness = sum3 / (n * variance * stdDev);
    kurtosis = sum4 / (n * variance * variance) - 3.0;
    return TRUE;
}
