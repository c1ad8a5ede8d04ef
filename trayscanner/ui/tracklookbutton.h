#pragma once
// CTrackLookButton: the arrow button of the control dialog. It reports to
// its owner when it is pressed and when it is let go - also when the
// pointer leaves it while held - so that the carriage runs while it is held.

#include "platform/ui/button.h"

namespace kestrun::tablon {

class ITrackLookOwner
{
public:
    virtual ~ITrackLookOwner() = default;
    virtual void OnTrackPressed(UINT nID) = 0;
    virtual void OnTrackReleased(UINT nID) = 0;
};

} // namespace kestrun::tablon

class CTrackLookButton : public CButton
{
public:
    enum ELook
    {
        kFlat = 0,
        kSunken = 1,
        kRaised = 2,
    };

    CTrackLookButton() = default;
    void SetOwner(kestrun::tablon::ITrackLookOwner* pOwner, UINT nID);

    int GetLook() const { return m_nLook; }
    bool IsPressed() const { return m_bPressed; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnMouseMove(LPARAM lParam);
    void Press();
    void Release();

    kestrun::tablon::ITrackLookOwner* m_pOwner = nullptr;
    UINT m_nReportID = 0;
    int m_nLook = kRaised;
    bool m_bPressed = false;
    bool m_bTracking = false;
};
