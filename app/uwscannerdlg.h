#pragma once
// CUwScannerDlg: "UW Scanner Control", the modeless control of the lid
// scanner's three lids (MEASURE or INSITU each) and of the board's input
// channel. Created with new by the application; once its window exists it
// deletes itself when the window goes, after telling its parent.

#include "platform/ui/dialog.h"

#include <array>

class CUwScanner;

class CUwScannerDlg : public CDialog
{
public:
    static constexpr int kScanners = 3;
    // The lid position the scanner reports for INSITU.
    static constexpr int kInsituPosition = 5;

    explicit CUwScannerDlg(CUwScanner& scanner, CWnd* pParent = nullptr);

    // Creates and shows the window; from then on the window owns the object.
    BOOL Create();
    using CDialog::Create;

    // Per scanner: 0 MEASURE, 1 INSITU.
    std::array<int, kScanners> m_nScanner{};

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnDestroy() override;
    void PostNcDestroy() override;
    // MEASURE or INSITU of a scanner.
    void OnLidButton(UINT nID);
    void OnVideo(UINT nID);

    DECLARE_MESSAGE_MAP()

private:
    // Only an initialised board changes its input.
    static void SetInputChannel(int nChannel);

    CUwScanner& m_scanner;
    CWnd* m_pParent;
    HWND m_hParent = nullptr;
    bool m_bAutoDelete = false;
};
