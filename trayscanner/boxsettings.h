#pragma once
// CBoxSettings: one record of scanning-box settings - lights, intensities,
// carriage and door limits, limit-switch wiring. XML element "CBoxSettings"
// with the fourteen fields as children in this order.

#include "platform/core/object.h"

class CXMLArchiveNode;

class CBoxSettings : public CObject
{
    DECLARE_SERIAL(CBoxSettings)

public:
    // Light bits of Lights.
    static constexpr int kBacklight = 1;
    static constexpr int kGreen = 2;
    static constexpr int kWhite = 4;

    CBoxSettings() = default;
    CBoxSettings(const CBoxSettings&) = default;
    CBoxSettings& operator=(const CBoxSettings&) = default;
    ~CBoxSettings() override = default;

    void Serialize(CArchive& ar) override;
    // The fields of one record inside its open element.
    void SerializeFields(CXMLArchiveNode& node);

    bool operator==(const CBoxSettings& other) const;

    int Lights = kGreen | kWhite;
    int IntensityLEDWhite = 16000;
    int IntensityLEDGreen = 16000;
    int IntensityBacklight = 0;
    UINT LowLimit = 40000;
    UINT CameraPosition = 20000;
    UINT MaxLowLimit = 54000;
    UINT DoorMaxLowLimit = 21920;
    bool LeaveDoorOpended = false;
    bool CameraInput1NO = true;
    bool CameraSwitchHomingDirection = false;
    bool DoorInput1NO = false;
    bool DoorSwitchHomingDirection = false;
    int DoorMaxCoilPower = 65;
};
