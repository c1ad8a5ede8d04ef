#pragma once
// CFormThres: the form thresholds of an analysis profile, which decide
// which traced objects count: the feature bits tested (Type), the limits of
// the object filter, the form model and its parameter, and the flagellum,
// tail-colour, movement and distance settings.

#include "analysis/classvector.h"

class CFormThres : public CObject
{
    DECLARE_SERIAL(CFormThres)

public:
    // Model
    enum
    {
        modelContour = 0,
        modelEdgeObject = 1,
        modelEllipse = 2,
        modelSkeleton = 3,
        modelContourSegment = 4,
    };
    // Parameter bits
    enum : UINT
    {
        parameterConvex = 4,
        parameterConcave = 8,
        parameterSplit = 16,
    };

    CFormThres() = default;
    // Copying the object copies every field.
    CFormThres(const CFormThres& other) = default;
    CFormThres& operator=(const CFormThres& other) = default;
    ~CFormThres() override = default;

    // XML form: element "CFormThres", then the object filter's own element
    // "CClassVector" beside it. The second filter is not stored.
    void Serialize(CArchive& ar) override;

    virtual CFeature& GetObjectFilterMin() { return m_ObjectFilter.m_Min; }
    virtual CFeature& GetObjectFilterMax() { return m_ObjectFilter.m_Max; }
    virtual CFeature& GetSecondFilterMin() { return m_SecondFilter.m_Min; }
    virtual CFeature& GetSecondFilterMax() { return m_SecondFilter.m_Max; }
    // The profile copy: Type, Option, Parameter, Model, both filters and the
    // four settings; Type2 stays.
    virtual void Copy(const CFormThres& other);
    // Whether anything the profile copy takes differs.
    virtual BOOL Differs(const CFormThres& other) const;

    // Whether the object passes for the feature bit: features not in Type
    // pass; the tail/movement filter passes non-zero values, the border
    // filter everything but 1; the others are range tests.
    BOOL CheckValue(double value, DWORD bit) const;
    BOOL TestFlagBit(UINT bits) const { return (m_Type & bits) != 0; }
    // state 1 sets the bits, anything else clears them.
    void SetFlagBit(UINT bits, int state);
    void SetOptionBit(UINT bits, int state);

    // Parameter file, section S ("Formparameter" from the shell). Sections
    // "Formparameter0"/"Formparameter1" of a file that still marks values
    // of an older installation ("Type0:"/"Type1:" in "Thresholds:", other
    // than -1) take the application profile's values once and then mark
    // them taken. The form model and its parameter belong to the program:
    // they are read and written only when it is the program running
    // (IsProgramRunning); the overloads with withModel say it directly.
    void LoadIni(const CString& section, const CString& iniFile);
    void LoadIni(const CString& section, const CString& iniFile, bool withModel);
    void SaveIni(const CString& section, const CString& iniFile) const;
    void SaveIni(const CString& section, const CString& iniFile, bool withModel) const;
    void ReadAppProfile(int index);
    void ReadAppProfile(int index, bool withModel);

    UINT m_Type = featureArea | featureFormFactor | featureBorderContact;
    UINT m_Type2 = 0;
    CClassVector m_ObjectFilter;
    UINT m_Parameter = 0;
    UINT m_Model = modelContour;
    UINT m_Option = 0;
    CClassVector m_SecondFilter;
    int m_FlagellumDetection = 5;
    int m_TailColor = 0;
    int m_MovementDetection = 2;
    // 1: objects that fail the thresholds stay in the result, marked as
    // rejected; 0: they are dropped. Neither stored nor compared.
    int m_bKeepRejected = 1;
    int m_MaxDistance = 0;
};
