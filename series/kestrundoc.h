#pragma once
// CKestrunDoc: the document of the measurement template (".cht"). Over
// CLineDataDoc it drives the lid scanner's outputs from the run's events:
// "On1" switches the outputs its "AreaChannel" items use on (and, asked
// to, watches the lids with the mark "Scanner"), "Off" switches them off.

#include "series/linedatadoc.h"

class CUwScanner;

class CKestrunDoc : public CLineDataDoc
{
    DECLARE_SERIAL(CKestrunDoc)

public:
    static constexpr int kChannels = 3;
    static constexpr DWORD kScannerWatchMs = 2000;
    static constexpr UINT kScannerInfoMs = 1500;

    // Reads "Warning:", "Time:" and "Power:" from "Measurement:".
    CKestrunDoc();
    // Writes them back.
    ~CKestrunDoc() override;

    void ProcessEvent(const CString& name) override;
    void StartMeasurement() override;
    void StopMeasurement() override;
    void MeasureObjects() override;
    // The chart file, then the table template of the program.
    BOOL OnOpenDocument(LPCTSTR lpszPathName) override;

    // Activates the document's view of that index, or opens a new frame
    // and view through the document's template when it has none.
    void ShowMeasurementView(int nView);

    // The lid scanner (the program's one unless told).
    void SetScanner(CUwScanner* scanner) { m_pScanner = scanner; }
    CUwScanner& Scanner() const;

    int m_nWarning = 0;
    int m_nTime = 0;
    int m_nPower = 0;
    int m_bPending = 0;
    int m_bChannel[kChannels] = {0, 0, 0};

protected:
    DECLARE_MESSAGE_MAP()

    void OnArrangeWindows();

private:
    CUwScanner* m_pScanner = nullptr;
};
