#pragma once
// CClassVector: the limits of one feature filter. Min and Max are feature
// records whose flag words say which lower and upper limits are on and
// whose values are the limits; Filter holds the on/off filters (tail or
// movement, border contact). Limits are inclusive.

#include "objectmodel/feature.h"
#include "platform/core/cstring.h"

// Feature bits of the flag words (the feature record's column bits).
enum EFeatureBit : DWORD
{
    featureArea = 0x4,
    featureFormFactor = 0x8,
    featureLength = 0x10,
    featureWidth = 0x20,
    featureRed = 0x100,
    featureGreen = 0x200,
    featureBlue = 0x400,
    featureColors = 0x700,
    featureHomogeneity = 0x800,
    featureConvexity = 0x1000,
    featureNuclei = 0x2000,
    featureNucleusRatio = 0x4000,
    featureCurvature = 0x10000,
    featureHoleArea = 0x20000,
    featureTailOrMovement = 0x40000,
    featureBorderContact = 0x80000,
};

class CClassVector : public CObject
{
    DECLARE_SERIAL(CClassVector)

public:
    CClassVector();
    CClassVector(const CClassVector& other) : CObject(other) { Copy(other); }
    CClassVector& operator=(const CClassVector& other)
    {
        Copy(other);
        return *this;
    }
    ~CClassVector() override = default;

    // XML form: element "CClassVector".
    void Serialize(CArchive& ar) override;
    virtual void Copy(const CClassVector& other);
    virtual BOOL Differs(const CClassVector& other) const;

    // Whether value lies within the enabled limits of the feature bit. The
    // mean colour (any of the colour bits) is read as 0x00BBGGRR and tested
    // byte by byte; the nuclei bits always pass.
    BOOL CheckRange(double value, DWORD bit) const;
    // state 1 sets the bits in Filter, anything else clears them.
    void SetFlagBit(DWORD bits, int state);

    // Parameter file, section S. Sections "Formparameter0"/"Formparameter1"
    // of a file that still marks values of an older installation
    // ("Filter0:"/"Filter1:" in "Thresholds:", other than -1) take the
    // application profile's values once and set the marker to -1.
    void LoadIni(const CString& section, const CString& iniFile);
    void SaveIni(const CString& section, const CString& iniFile) const;
    // The values of the application profile's section "Thresholds:", keys
    // ending in the index and a colon ("MinArea0:").
    void ReadAppProfile(int index);

    CFeature m_Min;
    CFeature m_Max;
    DWORD m_Filter = 0;
};
