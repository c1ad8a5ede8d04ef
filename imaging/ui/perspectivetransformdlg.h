#pragma once
// CPerspectiveTransformDlg: "Perspective Transformation", a modeless dialog
// over the image view. The user clicks the four corners of a rectangular
// field in the image (front left, front right, back left, back right; a
// fifth click starts again with front left) and enters its real width and
// height; OK hands them to the transform being edited.

#include "platform/ui/dialog.h"

#include <array>

class CPerspectiveTransform;

class CPerspectiveTransformDlg : public CDialog
{
    DECLARE_DYNAMIC(CPerspectiveTransformDlg)

public:
    static constexpr UINT kCloseReport = WM_USER + 5;
    static constexpr LPARAM kReportId = 473;

    enum
    {
        IDD = 473,
        IDC_FRONT_LEFT = 2987,
        IDC_FRONT_RIGHT = 2988,
        IDC_BACK_LEFT = 2989,
        IDC_BACK_RIGHT = 2990,
        IDC_WIDTH = 2991,
        IDC_HEIGHT = 2992,
    };

    CPerspectiveTransformDlg();
    ~CPerspectiveTransformDlg() override;

    // The modeless dialog over the owner, which gets the close report.
    BOOL Create(CWnd* pOwner);
    using CDialog::Create;
    // No close report any more: for an owner that deletes the dialog itself.
    void ForgetOwnerWindow() { m_hOwner = nullptr; }

    // The transform edited (not owned): its corners and size are shown.
    void SetTransform(CPerspectiveTransform* pTransform);
    // The next corner, by a click in the image.
    void AddPoint(int x, int y);

    const CPoint& GetCorner(int nIndex) const { return m_Corners[static_cast<size_t>(nIndex & 3)]; }
    int GetNextCorner() const { return m_nNext; }

    double m_Width = 0.0;
    double m_Height = 0.0;
    int m_nResult = 2; // 1 after OK, 2 after Cancel

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;
    void OnDestroy() override;

    DECLARE_MESSAGE_MAP()

private:
    void ShowCorners();

    CPerspectiveTransform* m_pTransform = nullptr;
    HWND m_hOwner = nullptr;
    std::array<CPoint, 4> m_Corners{};
    int m_nNext = 0;
};
