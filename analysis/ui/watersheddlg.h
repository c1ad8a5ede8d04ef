#pragma once
// CWatershedDlg: shows the watershed of an object mask level by level.
// The opener hands it an 8-bit mask (0 background, 254 object, with a
// margin of at least one pixel); "Step" floods one level, "Peak" seeds the
// level's new basins and goes one level down.

#include "analysis/watershed.h"
#include "outside/pixmere/dib.h"
#include "platform/ui/dialog.h"

class CWatershedDlg : public CDialog
{
public:
    CWatershedDlg(CDIB image, CWnd* pParentWnd = nullptr);

    // The image as the flooding left it: background 254, flooded 255,
    // unflooded labels (the dams, once the flooding is through) below.
    const CDIB& GetImage() const { return m_Image; }
    const CWatershed& GetWatershed() const { return m_Watershed; }

protected:
    BOOL OnInitDialog() override;
    void OnPaint() override;
    void OnStep();
    void OnPeak();

    DECLARE_MESSAGE_MAP()

private:
    void Show();

    CDIB m_Image;
    CWatershed m_Watershed;
};
