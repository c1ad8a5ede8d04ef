#pragma once
// CFormTrayDoc and CFormTray: the tray form of Mode 1. Barcodes typed or
// scanned into the barcode box and ended by Enter choose a profile, a tray
// type or a batch, or join the queue of sample barcodes (the box's list).
// The scanning box's push button, or Measure, runs one tray: a snapshot
// written as the tray image, then for each enabled area of interest - one
// vessel each - with the next queued barcode the position check, the count,
// the result table and a side file. Every status line goes to the box as
// its "Message" and to the main window's status bar; nothing of this form
// shows a message box.
#include "database/traybarcode.h"
#include "database/trayoutput.h"
#include "database/ui/bvformview.h"
#include "platform/ui/document.h"
#include "platform/ui/gradientstatic.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/staticedit.h"

#include <cstdint>

class CAOI;

class CFormTrayDoc : public CDocument
{
    DECLARE_DYNCREATE(CFormTrayDoc)

public:
    CFormTrayDoc() = default;
};

class CFormTray : public CBVFormView
{
    DECLARE_DYNCREATE(CFormTray)

public:
    // Box states the form sets: lamp on (ready, and after a count), a
    // picture being taken, the picture taken.
    static constexpr int kBoxLampOn = 3;
    static constexpr int kBoxGrabbing = 4;
    static constexpr int kBoxGrabbed = 5;

    // Reads the barcode range and the tray type of "trayscan.ini".
    CFormTray();
    // Writes the tray type back.
    ~CFormTray() override;

    BOOL CreateImageView(BOOL bVideo) override;
    void OnInitialUpdate() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The barcode box's text, ended by Enter.
    void OnBarcodeEntered();
    // Tests a barcode; true when it is a sample barcode to queue.
    bool ProcessBarcode(const CString& strBarcode);
    void SetStatus(int nCode);
    // One tray (command 2278).
    void RunTray();
    CString MakeFileName(const CString& strBarcode, int n) { return m_namer.Make(strBarcode, n); }
    // The tray image, the result table and the side file, each in the data
    // folder; false when it could not be written.
    bool SaveImage(const CString& strName);
    bool SaveResults(const CString& strName);
    bool WriteSideFile(const CString& strName);
    // False when the area holds no tray vessel (the position is skipped).
    bool CheckPosition(CAOI* pArea);
    // The areas of tray and batch from "<tray>_<batch>.AOI" in the data root.
    bool LoadTrayAoi(const CString& strTray, int nBatch);
    void SaveTrayAoi(const CString& strTray, int nBatch);
    bool SelectProfileCode(const CString& strCode);
    void OnInitVideo();
    void OnSaveProfile();
    LRESULT OnGrabberMessage(WPARAM wParam, LPARAM lParam);

    // The queue of sample barcodes, first the next one taken.
    std::vector<CString> GetQueue() const;
    // The clock of the file names.
    void SetClock(kestrun::tray::CTrayFileNamer::CNow now) { m_namer = kestrun::tray::CTrayFileNamer(std::move(now)); }

    UINT_PTR m_nTimer1 = 0;
    UINT_PTR m_nTimer2 = 0;
    bool m_bBarcodeTaken = false;
    std::int64_t m_nMinBarcode;
    std::int64_t m_nMaxBarcode;
    bool m_bRunning = false;
    int m_nCount = 0;
    int m_nStatus = 0;
    CString m_strImageFile;
    CString m_strProfile;
    int m_nBatch = 1;
    CString m_strTray;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnDestroy() override;
    void OnBarcodeEditChange();
    void OnSaveImageCommand(UINT nID);
    LRESULT OnNoAction(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // The first queued barcode taken off the queue; empty when none.
    CString PopBarcode();
    // Ends a run with a status line.
    void StopRun(int nCode);
    void TakeSnapshot();
    static void SetBoxState(int nState);
    // The data folder joined with a name; empty when the folder is set but
    // missing.
    CString DataPath(const CString& strName) const;
    void RefreshControls();
    void KeepBarcodeFocus();

    kestrun::tray::CTrayFileNamer m_namer;
    CGradientStatic m_title;
    CComboBox m_comboBarcode;
    CStatic m_staticVideo;
};
