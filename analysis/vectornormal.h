#pragma once
// CVectorNormal: one learned class: its id (0 is kept for "not
// classified"), name, display colour and, per feature it uses, the
// statistic of the values seen while learning. Distances from the class
// count in units of three standard deviations: below 1.0 a value lies
// within the class.

#include "analysis/normfeature.h"
#include "objectmodel/arrayobjectsxml.h"

class CVectorNormal : public CObject
{
    DECLARE_SERIAL(CVectorNormal)

public:
    // Which statistic GetFeatureStat returns.
    enum
    {
        statMin = 1,
        statMax = 2,
        statMean = 3,
        statDeviation = 4,
    };

    CVectorNormal() = default;
    CVectorNormal(int classId, const CString& name);
    CVectorNormal(const CVectorNormal& other);
    CVectorNormal& operator=(const CVectorNormal& other);
    ~CVectorNormal() override = default;

    // The XML element "CVectorNormal".
    void Serialize(CArchive& ar) override;
    // The byte form of the class file: class record, id, name, colour, the
    // features' statistics, their names and their types.
    virtual void SerializeBinary(CArchive& ar);

    // Appends a feature whose statistic is the prior of the range; returns
    // the new number of features.
    int AddFeature(const CString& name, int type, double expectedMin, double expectedMax);
    // Index arguments outside the features raise CInvalidArgException.
    void RemoveFeature(int index);
    // First feature of that type; -1 when there is none.
    int FindFeature(int type) const;
    CString GetFeatureName(int index) const;
    // Sets the statistic's minimum and maximum and makes it their prior.
    void SetFeatureRange(int index, double minimum, double maximum);
    void ResetFeatures();
    // Adds the value to the feature's statistic and finishes it.
    bool AddSample(double value, int index);
    // statMin, statMax, statMean, statDeviation (0 for a variance of 0);
    // 0 for any other which.
    double GetFeatureStat(int index, int which) const;
    // |value - mean| / (3 standard deviations); the divisor is 1e-8 when
    // the variance is 0, so any other value lies far outside.
    double GetFeatureDistance(double value, int index) const;

    int GetFeatureCount() const { return static_cast<int>(m_FeatureVector.GetSize()); }
    const CNormFeature& GetFeature(int index) const { return m_FeatureVector.GetAt(index); }

    int m_nClass = 1;
    CString m_strName;
    COLORREF m_Color = 0xFF0000;
    CArrayObjectsXML<CNormFeature> m_FeatureVector;
};
