#pragma once
// CRasterDlg: "Raster Analysis". "Scan" lays a grid of 5 x 5 cells over the
// active area of interest (the whole image without one) and lists each
// cell's mean grey value and its texture homogeneity; the darkest cell is
// outlined in red and the brightest in blue in the owner view. Closing
// posts WM_USER+5 (1, 467) to the owner.

#include "analysis/aoiraster.h"
#include "objectmodel/dataarray.h"

#include "platform/ui/dialog.h"
#include "platform/ui/listctrl.h"

class CDIBDoc;
class CView;

class CRasterDlg : public CDialog
{
    DECLARE_DYNAMIC(CRasterDlg)

public:
    static constexpr UINT kCloseReport = WM_USER + 5;
    static constexpr LPARAM kReportId = 467;
    static constexpr int kCells = 5;

    enum
    {
        IDD = 467,
        IDC_RESULTS = 2934,
        IDC_SCAN = 2935,
    };

    // The view whose document is scanned and where the cells are drawn;
    // it gets the close report.
    explicit CRasterDlg(CView* pOwnerView = nullptr);
    ~CRasterDlg() override;

    BOOL Create(CDIBDoc* pDoc);
    using CDialog::Create;
    void ForgetOwnerWindow() { m_hOwner = nullptr; }

    void OnScan();
    // Grey means and homogeneities of the cells of the raster on the
    // active page; nothing without cells.
    void Compute();
    // The darkest cell in red, then the brightest in blue.
    void Outline(CDC* pDC) const;

    const CAOIRaster& GetRaster() const { return m_Raster; }
    const CDataArray& GetGreyValues() const { return m_Grey; }
    const CDataArray& GetTextures() const { return m_Texture; }
    int GetDarkestCell() const;
    int GetBrightestCell() const;
    CListCtrl& GetList() { return m_List; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnDestroy() override;

    DECLARE_MESSAGE_MAP()

private:
    void FillList();
    // Draws into a client context of the owner view, prepared by it.
    template <class Draw>
    void DrawInView(Draw draw) const;

    CDIBDoc* m_pDoc = nullptr;
    CView* m_pOwnerView;
    HWND m_hOwner = nullptr;
    CAOIRaster m_Raster;
    CDataArray m_Grey{CDataArray::typeShort};
    CDataArray m_Texture{CDataArray::typeDouble};
    CListCtrl m_List;
};
