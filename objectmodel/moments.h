#pragma once
// Higher moments of a list of values.

#include "platform/core/types.h"

#include <span>

// Mean, mean absolute deviation, standard deviation, variance (n - 1),
// skewness and excess kurtosis. FALSE with fewer than two values (outputs
// untouched) or with variance 0 (skewness and kurtosis then 0).
BOOL CalcMoments(std::span<const float> values, double& mean, double& meanAbsDev, double& stdDev, double& variance,
                 double& skewness, double& kurtosis);
