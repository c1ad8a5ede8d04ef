#include "series/kestrundoc.h"

#include "imaging/src.h"
#include "imaging/uwscanner.h"
#include "platform/core/messagebox.h"
#include "platform/core/profile.h"
#include "platform/ui/appservices.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/frame.h"
#include "platform/ui/view.h"
#include "series/runhost.h"

#include <exception>

IMPLEMENT_SERIAL(CKestrunDoc, CLineDataDoc, VERSIONABLE_SCHEMA | 20)

BEGIN_MESSAGE_MAP(CKestrunDoc, CLineDataDoc)
    ON_COMMAND(ID_MEASUREMENT_ARRANGE, OnArrangeWindows)
END_MESSAGE_MAP()

namespace {

constexpr const char* kSection = "Measurement:";

} // namespace

CKestrunDoc::CKestrunDoc()
{
    BuildMessageMap();
    m_nWarning = static_cast<int>(GetProfileInt(kSection, "Warning:", 0));
    m_nTime = static_cast<int>(GetProfileInt(kSection, "Time:", 0));
    m_nPower = static_cast<int>(GetProfileInt(kSection, "Power:", 0));
}

CKestrunDoc::~CKestrunDoc()
{
    try {
        WriteProfileInt(kSection, "Warning:", m_nWarning);
        WriteProfileInt(kSection, "Time:", m_nTime);
        WriteProfileInt(kSection, "Power:", m_nPower);
    } catch (const std::exception& e) {
        AfxMessageBox(e.what(), MB_ICONEXCLAMATION);
    }
}

CUwScanner& CKestrunDoc::Scanner() const
{
    return m_pScanner != nullptr ? *m_pScanner : CUwScanner::Get();
}

void CKestrunDoc::ProcessEvent(const CString& name)
{
    CLineDataDoc::ProcessEvent(name);
    if (m_bUwScanner == 0)
        return;
    CUwScanner& scanner = Scanner();
    if (name == "On1" || name == "Off") {
        const int state = name == "On1" ? 1 : 0;
        for (int c = 0; c < kChannels; ++c)
            if (m_bChannel[c])
                scanner.SetScanner(c + 1, state, 0);
        if (state == 1 && m_bUwScannerInfo == 1)
            m_TimeMarks.AddMark("Scanner", 0, kScannerWatchMs, 0, 0);
    } else if (name == "Scanner") {
        bool closed = true;
        for (int c = 0; c < kChannels; ++c)
            if (m_bChannel[c])
                closed = scanner.IsLidClosed(c) != FALSE;
        if (closed) {
            Host().ShowInfo("Scanner closed...", kScannerInfoMs);
            m_TimeMarks.RemoveMark("Scanner");
        }
    }
}

void CKestrunDoc::StartMeasurement()
{
    if (GetMethodName() == "AreaChannel") {
        if (m_bUwScanner == 1)
            Scanner().Load();
        for (int& channel : m_bChannel)
            channel = 0;
        for (const auto& item : m_Description[0].GetItems())
            if (item->m_nChannel < kChannels)
                m_bChannel[item->m_nChannel] = 1;
    }
    CLineDataDoc::StartMeasurement();
}

void CKestrunDoc::StopMeasurement()
{
    CLineDataDoc::StopMeasurement();
}

void CKestrunDoc::MeasureObjects()
{
    CLineDataDoc::MeasureObjects();
    if (GetMethodName() == "AreaChannel") {
        if (m_bPending)
            m_bPending = 0;
        SetModifiedFlag(TRUE);
    }
}

BOOL CKestrunDoc::OnOpenDocument(LPCTSTR lpszPathName)
{
    if (!CLineDataDoc::OnOpenDocument(lpszPathName))
        return FALSE;
    // A stored run still shows its tables.
    if (CAppServices* services = kestrun::AppServices(); services != nullptr && services->GetTemplates() != nullptr)
        m_pTableTemplate = services->GetTemplates()->GetTemplate(CSRC::kGridTemplate);
    return TRUE;
}

void CKestrunDoc::ShowMeasurementView(int nView)
{
    const auto& views = Views();
    if (nView >= 0 && static_cast<size_t>(nView) < views.size()) {
        if (CFrameWnd* frame = views[static_cast<size_t>(nView)]->GetParentFrame())
            frame->ActivateFrame();
        return;
    }
    if (m_pDocTemplate == nullptr)
        return;
    if (CFrameWnd* frame = m_pDocTemplate->CreateNewFrame(this, nullptr))
        m_pDocTemplate->InitialUpdateFrame(frame, this, TRUE);
}

void CKestrunDoc::OnArrangeWindows()
{
    if (!Views().empty())
        if (CFrameWnd* frame = Views().front()->GetParentFrame())
            frame->ActivateFrame();
    Host().PumpMessages();
}
