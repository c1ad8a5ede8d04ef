#pragma once
// CBVSettings: one analysis profile, the complete set of parameters with
// which the engine turns an image into objects.
//
// Two kinds of copy: assignment is the profile copy that selecting and
// storing a profile use. It leaves the colour-channel choice and the
// image-filter steps of the destination alone (they belong to the
// workstation) and drops the perspective matrix. The copy constructor and
// AssignAll copy everything.

#include "analysis/channelchooserparas.h"
#include "analysis/formthres.h"
#include "analysis/objectfilter.h"
#include "analysis/perspectivetransform.h"
#include "analysis/segthres.h"
#include "objectmodel/calibration.h"

class CBVSettings : public CObject
{
    DECLARE_SERIAL(CBVSettings)

public:
    CBVSettings() = default;
    CBVSettings(const CBVSettings& other);
    CBVSettings& operator=(const CBVSettings& other);
    ~CBVSettings() override = default;

    void AssignAll(const CBVSettings& other);

    // XML form: element "CBVSettings" holding "SegThres", "FormThres",
    // "Calibration", "ObjectFilter", "CChannelChooserParas" and
    // "Perspective", each wrapping the member's own element.
    void Serialize(CArchive& ar) override;

    CSegThres m_SegThres;
    CFormThres m_FormThres;
    CCalibration m_Calibration;
    CObjectFilter m_ObjectFilter;
    CChannelChooserParas m_ChannelChooser;
    CPerspectiveTransform m_Perspective;
};
