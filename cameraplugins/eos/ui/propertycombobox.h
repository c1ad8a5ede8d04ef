#pragma once
// CPropertyComboBox: a combo box bound to one camera property. It lists
// the values the camera's descriptor offers that its table knows (others
// are left out), shows the current value, and fires its action with the
// chosen code. The model's notices come on the command thread; the combo
// posts them to itself.

#include "cameraplugins/eos/actions.h"
#include "cameraplugins/eos/cameramodel.h"
#include "cameraplugins/eos/propertytables.h"

#include "platform/ui/listboxes.h"

class CPropertyComboBox : public CComboBox, public ActionSource, public Observer
{
public:
    CPropertyComboBox(EdsPropertyID id, std::string action, const CPropertyTable& table)
        : ActionSource(std::move(action)), m_id(id), m_table(table)
    {
    }
    void setModel(CameraModel* model) { m_model = model; }
    EdsPropertyID propertyId() const { return m_id; }

    void update(Observable* from, CameraEvent* event) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The user chose an entry.
    void OnSelChange();

private:
    void UpdateProperty(EdsUInt32 value);
    void UpdatePropertyDesc(const EdsPropertyDesc& desc);

    EdsPropertyID m_id;
    const CPropertyTable& m_table;
    CameraModel* m_model = nullptr;
    EdsUInt32 m_selected = 0;
};

class CAEMode : public CPropertyComboBox
{
public:
    CAEMode() : CPropertyComboBox(kEdsPropID_AEMode, "set_AEMode", AEModeTable()) {}
};

class CTv : public CPropertyComboBox
{
public:
    CTv() : CPropertyComboBox(kEdsPropID_Tv, "set_Tv", TvTable()) {}
};

class CAv : public CPropertyComboBox
{
public:
    CAv() : CPropertyComboBox(kEdsPropID_Av, "set_Av", AvTable()) {}
};

class CIso : public CPropertyComboBox
{
public:
    CIso() : CPropertyComboBox(kEdsPropID_ISOSpeed, "set_ISOSpeed", IsoTable()) {}
};

class CMeteringMode : public CPropertyComboBox
{
public:
    CMeteringMode() : CPropertyComboBox(kEdsPropID_MeteringMode, "set_MeteringMode", MeteringModeTable()) {}
};

class CExposureComp : public CPropertyComboBox
{
public:
    CExposureComp()
        : CPropertyComboBox(kEdsPropID_ExposureCompensation, "set_ExposureCompensation", ExposureCompTable())
    {
    }
};

class CImageQuality : public CPropertyComboBox
{
public:
    CImageQuality() : CPropertyComboBox(kEdsPropID_ImageQuality, "set_ImageQuality", ImageQualityTable()) {}
};

class CEvfAFMode : public CPropertyComboBox
{
public:
    CEvfAFMode() : CPropertyComboBox(kEdsPropID_Evf_AFMode, "set_EvfAFMode", EvfAFModeTable()) {}
};
