#pragma once
// CAOIDlg: the modeless "Region of Interest (ROI) Control" of an image
// view. It moves the active area (or all areas) with the arrow buttons or
// keys, sets position, size, ring width and raster by numbers, picks the
// areas' colour, and with "Add on" places copies of the active area where
// the user clicks. Closing it posts WM_USER+5 (1, 441) to the owner.

#include "platform/ui/dialog.h"

#include <memory>

class CAOIEllipse;
class CAOIOwner;
class CColButton;

class CAOIDlg : public CDialog
{
public:
    static constexpr UINT kCloseReport = WM_USER + 5;
    static constexpr LPARAM kReportId = 441;

    // SetPosition flags: move (anchor top left) and keep inside the image;
    // the same with the size.
    static constexpr UINT kMoveFlags = 80;
    static constexpr UINT kMoveSizeFlags = 112;

    explicit CAOIDlg(CAOIOwner* pOwner);
    ~CAOIDlg() override;

    // Creates the modeless dialog over the owner's window.
    BOOL Create(CWnd* pParentWnd);
    using CDialog::Create;
    // No close report any more: for an owner that deletes the dialog itself.
    void ForgetOwnerWindow() { m_hOwner = nullptr; }

    // Values of the active area (the whole image when none is active) into
    // the fields; zeros without areas.
    void RefreshFromActiveAOI();
    // Moves the active area, or every area with "Select All".
    void MoveAOI(int dx, int dy);
    void ToggleAdd();
    bool IsAddOn() const { return m_bAdd != 0; }
    // With "Add on": a copy of the active area, of the dialog's width and
    // height, centred on the point.
    void CopyActiveAOITo(int x, int y);
    // Keeps a copy of the active area when it is an ellipse.
    void BackupActiveEllipse();
    bool HasStoredEllipse() const { return m_pStoredEllipse != nullptr; }
    // Adds the kept ellipse again, moved to (5, 5).
    void AddStoredEllipseCopy();
    // Arrow keys move, Tab selects the next area; true when handled.
    bool HandleKey(UINT nChar, bool bTab);

    int m_nX = 0;
    int m_nY = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nAngle = 0;
    int m_nRingWidth = 4;
    int m_nSelect = 0; // 0 the active area, 1 all
    int m_nRasterX = 0;
    int m_nRasterY = 0;
    int m_nBorder = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    void OnOK() override;
    void OnCancel() override;
    void OnDestroy() override;

    void OnUp() { MoveAOI(0, -1); }
    void OnDown() { MoveAOI(0, 1); }
    void OnLeft() { MoveAOI(-1, 0); }
    void OnRight() { MoveAOI(1, 0); }
    void OnModify();
    void OnAdd() { ToggleAdd(); }
    void OnColor();
    void OnSelect();

    DECLARE_MESSAGE_MAP()

private:
    bool HasAOIs() const;
    CRect ImageRect() const;
    void Repaint();
    void ShowColor();

    CAOIOwner* m_pOwner;
    HWND m_hOwner = nullptr;
    std::unique_ptr<CAOIEllipse> m_pStoredEllipse;
    int m_bAdd = 0;
    CColButton* m_pSwatch = nullptr;
};
