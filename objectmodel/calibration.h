#pragma once
// CCalibration: pixel size and unit of a profile. One process-wide
// instance (CBaseObj::SystemCalibration) scales every measured value and
// supplies the unit texts of column titles.

#include "platform/core/object.h"

class CCalibration : public CObject
{
    DECLARE_SERIAL(CCalibration)

public:
    CCalibration() = default;
    CCalibration(const CCalibration& other) = default;
    CCalibration& operator=(const CCalibration& other);
    // Exact comparison of all five values.
    bool operator!=(const CCalibration& other) const;
    bool operator==(const CCalibration& other) const { return !(*this != other); }

    // Unit text for a dimension: 0 the bare unit ("µm"), 1 to 3 the
    // bracketed unit to that power ("[µm²]"), anything else empty. An
    // unknown unit gives "[undefined]" for every dimension.
    CString GetUnitText(int dimension) const;
    double GetVoxelVolume() const;
    // The voxel volume in cm³ (ml).
    double GetVoxelVolumeCm3() const;

    // Keys absent from the section keep their current value.
    void ReadCalibrationIni(const CString& section, const CString& iniFile);
    void WriteCalibrationIni(const CString& section, const CString& iniFile) const;

    void Serialize(CArchive& ar) override;

    double m_dFactor = 1.0; // length of one pixel in units
    int m_nUnit = 0;        // 0 µm, 1 mm, 2 cm
    double m_xSize = 640.0;
    double m_ySize = 480.0;
    double m_zSize = 10.0;
};
