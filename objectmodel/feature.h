#pragma once
// CFeature: one set of feature values with the flag word that says which
// of them take part. The classifier compares measured objects with them,
// and a limit set keeps two of them, the lower and the upper limits. The
// flag bits are the column/feature bits of the measured-object record.

#include "platform/core/archive.h"

class CFeature : public CObject
{
    DECLARE_SERIAL(CFeature)

public:
    CFeature() = default;
    CFeature(const CFeature& other) : CObject(other) { Copy(other); }
    CFeature& operator=(const CFeature& other)
    {
        Copy(other);
        return *this;
    }
    ~CFeature() override = default;

    // Byte archive: the class reference, then every value but the
    // selection flags. Schema 1 files end before the hole area, which then
    // keeps its value. A short file raises CArchiveException::endOfFile, a
    // schema other than 1 or 2 CArchiveException::badSchema; the values
    // are then unchanged.
    void Serialize(CArchive& ar) override;

    // Sets the mask's bits when on is exactly 1, clears them otherwise.
    virtual void SetFeatureFlag(DWORD mask, int on);
    // The same on the selection flags.
    virtual void SetFlag(DWORD mask, int on);
    virtual void SetArea(float value) { m_fArea = value; }
    virtual void SetFormFactor(float value) { m_fFormFactor = value; }
    virtual void SetLength(float value) { m_fLength = value; }
    virtual void SetWidth(float value) { m_fWidth = value; }
    virtual void SetMeanColor(COLORREF value) { m_MeanColor = value; }
    virtual void SetHomogeneity(double value) { m_dHomogeneity = value; }
    virtual void SetConvexity(double value) { m_dConvexity = value; }
    virtual void SetCurvature(float value) { m_fCurvature = value; }
    virtual void SetHoleArea(float value) { m_fHoleArea = value; }
    virtual void SetNuclei(WORD value) { m_wNuclei = value; }
    virtual void SetNucleusRatio(float value) { m_fNucleusRatio = value; }
    virtual void SetValueB(double value) { m_dValueB = value; }
    virtual void SetValueC(double value) { m_dValueC = value; }
    virtual void SetValueD(double value) { m_dValueD = value; }
    // Every field, the selection flags too.
    virtual CFeature& Copy(const CFeature& other);
    // TRUE when any field differs; floating values compare exactly.
    virtual BOOL Differs(const CFeature& other) const;

    friend bool operator==(const CFeature& a, const CFeature& b) { return !a.Differs(b); }

    DWORD m_dwFeatureFlags = 0;   // the features that take part
    DWORD m_dwSelectionFlags = 0; // not stored
    float m_fArea = 0.0f;         // 0x4
    float m_fFormFactor = 1.0f;   // 0x8
    float m_fLength = 0.0f;       // 0x10
    float m_fWidth = 1.0f;        // 0x20
    COLORREF m_MeanColor = 0;     // 0x100 red, 0x200 green, 0x400 blue
    double m_dHomogeneity = 1.0;  // 0x800
    double m_dConvexity = 1.0;    // 0x1000
    float m_fCurvature = 180.0f;  // 0x10000
    float m_fNucleusRatio = 0.0f; // 0x4000
    WORD m_wNuclei = 0;           // 0x2000
    double m_dValueB = 0.0;
    double m_dValueC = 0.0;
    double m_dValueD = 0.0;
    float m_fHoleArea = 0.0f; // 0x20000, stored from schema 2 on
};
