#include "trayscanner/boxsettings.h"

#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"

IMPLEMENT_SERIAL(CBoxSettings, CObject, 1)

void CBoxSettings::Serialize(CArchive& ar)
{
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    CXMLArchiveNode* node = xml.GetChildNode("CBoxSettings");
    if (node == nullptr)
        return;
    SerializeFields(*node);
    node->EndNode();
}

void CBoxSettings::SerializeFields(CXMLArchiveNode& node)
{
    node.SerializeInt("Lights", Lights);
    node.SerializeInt("IntensityLEDWhite", IntensityLEDWhite);
    node.SerializeInt("IntensityLEDGreen", IntensityLEDGreen);
    node.SerializeInt("IntensityBacklight", IntensityBacklight);
    node.SerializeUInt("LowLimit", LowLimit);
    node.SerializeUInt("CameraPosition", CameraPosition);
    node.SerializeUInt("MaxLowLimit", MaxLowLimit);
    node.SerializeUInt("DoorMaxLowLimit", DoorMaxLowLimit);
    node.SerializeBool("LeaveDoorOpended", LeaveDoorOpended);
    node.SerializeBool("CameraInput1NO", CameraInput1NO);
    node.SerializeBool("CameraSwitchHomingDirection", CameraSwitchHomingDirection);
    node.SerializeBool("DoorInput1NO", DoorInput1NO);
    node.SerializeBool("DoorSwitchHomingDirection", DoorSwitchHomingDirection);
    node.SerializeInt("DoorMaxCoilPower", DoorMaxCoilPower);
}

bool CBoxSettings::operator==(const CBoxSettings& other) const
{
    return Lights == other.Lights && IntensityLEDWhite == other.IntensityLEDWhite &&
           IntensityLEDGreen == other.IntensityLEDGreen && IntensityBacklight == other.IntensityBacklight &&
           LowLimit == other.LowLimit && CameraPosition == other.CameraPosition && MaxLowLimit == other.MaxLowLimit &&
           DoorMaxLowLimit == other.DoorMaxLowLimit && LeaveDoorOpended == other.LeaveDoorOpended &&
           CameraInput1NO == other.CameraInput1NO && CameraSwitchHomingDirection == other.CameraSwitchHomingDirection &&
           DoorInput1NO == other.DoorInput1NO && DoorSwitchHomingDirection == other.DoorSwitchHomingDirection &&
           DoorMaxCoilPower == other.DoorMaxCoilPower;
}
