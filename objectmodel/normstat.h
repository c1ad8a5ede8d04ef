#pragma once
// CNormStat: running statistics of a value with weights: count, sum, mean,
// variance, and the extremes with their positions. Built from an expected
// range it serves as the prior of a classification feature.

#include "platform/core/object.h"

class CNormStat : public CObject
{
    DECLARE_SERIAL(CNormStat)
public:
    CNormStat();
    // A prior: count 2, mean in the middle, standard deviation a sixth of the range.
    CNormStat(double expectedMin, double expectedMax);

    // Empties the statistic; returns 0.
    int Reset();
    // Adds the value weight times.
    void AddValue(double value, int weight = 1);
    // Computes mean and variance; returns count - 1 when count > 1, else the count.
    int Finish();
    // Turns the range held in minimum and maximum into a prior.
    void CalcRange();
    // Sets minimum and maximum and turns them into a prior (a range
    // symmetric about 0 keeps the rest of the statistic).
    void SetRange(double expectedMin, double expectedMax);

    // Binary form: the class record, then the fields in declared order.
    void Serialize(CArchive& ar) override;

    int GetCount() const { return m_N; }
    double GetSum() const { return m_Sum; }
    double GetSumSquares() const { return m_SumSquares; }
    double GetSumDiffSquares() const { return m_SumDiffSquares; }
    // Mean and variance are current only when IsFinished.
    double GetMean() const { return m_Mean; }
    double GetVariance() const { return m_Variance; }
    double GetMin() const { return m_Min; }
    int GetPosMin() const { return m_PosMin; }
    double GetMax() const { return m_Max; }
    int GetPosMax() const { return m_PosMax; }
    bool IsFinished() const { return m_Calculation != 0; }

protected:
    int m_N;                 // sum of the weights
    double m_Sum;            // sum of w * v
    double m_SumSquares;     // sum of w * v^2
    double m_SumDiffSquares; // by Finish
    double m_Mean;           // by Finish
    double m_Variance;       // by Finish
    double m_Min;
    int m_PosMin;
    double m_Max;
    int m_PosMax;
    BOOL m_Calculation; // finished
};
