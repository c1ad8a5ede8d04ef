// The tray form's run: one tray image, then per vessel position the count,
// the result table and the side file.
#include "database/ui/formtray.h"

#include "analysis/aoi.h"
#include "analysis/aoidoc.h"
#include "analysis/bv.h"
#include "imaging/dibdocex.h"
#include "imaging/imagecommands.h"
#include "imaging/ui/dibvwex.h"
#include "platform/ui/appservices.h"
#include "platform/ui/cmdtarget.h"
#include "series/griddoc2.h"

#include <filesystem>

using namespace kestrun::tray;

namespace {

// The position search: 20 pixels around the area in steps of 2.
constexpr int kSearchRange = 20;
constexpr int kSearchStep = 2;

} // namespace

void CFormTray::SetBoxState(int nState)
{
    if (CAppServices* services = kestrun::AppServices())
        services->SetTrayvoState(nState);
}

CString CFormTray::DataPath(const CString& strName) const
{
    CAppServices* services = kestrun::AppServices();
    CString folder = services ? services->GetDataDir() : CString();
    if (folder.IsEmpty())
        return strName;
    std::error_code error;
    if (!std::filesystem::is_directory(folder.GetString(), error))
        return CString();
    if (folder.Right(1) != "/")
        folder += "/";
    return folder + strName;
}

void CFormTray::StopRun(int nCode)
{
    SetStatus(nCode);
    m_bRunning = false;
}

void CFormTray::RunTray()
{
    if (m_bRunning)
        return;
    if (static_cast<int>(GetQueue().size()) < m_nBatch) {
        SetStatus(statusNotEnoughBarcodes);
        return;
    }
    // Checked before a barcode is taken, so that no vessel's barcode is
    // lost to a run that cannot start.
    if (m_pImageDoc == nullptr) {
        SetStatus(statusNoImage);
        return;
    }
    if (m_pImageView == nullptr) {
        SetStatus(statusReady);
        return;
    }
    CString barcode = PopBarcode();
    if (barcode.IsEmpty()) {
        SetStatus(statusNoBarcode);
        return;
    }
    m_bRunning = true;
    m_nCount = 0;

    SetStatus(statusStarted);
    SetBoxState(kBoxGrabbing);
    TakeSnapshot();
    SetBoxState(kBoxGrabbed);
    CString base = MakeFileName(barcode, 0);
    if (!SaveImage(base + ".jpg")) {
        StopRun(statusImageWrite);
        return;
    }

    CAppServices* services = kestrun::AppServices();
    CBV* engine = services ? services->GetEngine() : nullptr;
    CAOIDoc* areas = engine ? &engine->m_AOIDoc : nullptr;
    int index = areas ? areas->GetFirstEnabledAOI() : -1;
    while (index >= 0) {
        areas->SetActiveAOI(index);
        if (CheckPosition(areas->GetAOI(index))) {
            if (m_pImageView != nullptr)
                m_pImageView->OnCmdMsg(ID_IMAGE_SEARCH_OBJECTS, CN_COMMAND, nullptr, nullptr);
            SetBoxState(kBoxLampOn);
            if (!SaveResults(base + ".xml")) {
                StopRun(statusDataWrite);
                return;
            }
            SetStatus(statusCounted);
            if (!WriteSideFile(base + ".txt"))
                SetStatus(statusSideFileWrite);
        }
        const int next = areas->GetEnabledAOIFrom(index + 1);
        // The search starts again at the first area after the last one.
        if (next <= index) {
            StopRun(statusReady);
            return;
        }
        barcode = PopBarcode();
        if (barcode.IsEmpty()) {
            StopRun(statusNoBarcode);
            return;
        }
        index = next;
        base = MakeFileName(barcode, index);
    }
    StopRun(statusReady);
}

void CFormTray::TakeSnapshot()
{
    // The form's own video document: what the Snapshot command grabs.
    if (m_pImageDoc != nullptr && m_pImageDoc->IsVideo())
        m_pImageDoc->Grab(TRUE);
}

bool CFormTray::SaveImage(const CString& strName)
{
    const CString path = DataPath(strName);
    if (path.IsEmpty() || m_pImageDoc == nullptr)
        return false;
    m_strImageFile = strName;
    // Failures are the status line's to tell.
    const BOOL silent = m_pImageDoc->m_bSilent;
    m_pImageDoc->m_bSilent = TRUE;
    const BOOL saved = m_pImageDoc->OnSaveDocument(path);
    m_pImageDoc->m_bSilent = silent;
    return saved != FALSE;
}

bool CFormTray::SaveResults(const CString& strName)
{
    // The table this form's image made, whichever window is active.
    CDocument* table = m_pImageDoc ? m_pImageDoc->GetResultDoc() : nullptr;
    if (table == nullptr)
        return false;
    const CString path = DataPath(strName);
    if (path.IsEmpty())
        return false;
    if (auto* grid = dynamic_cast<CGridDoc2*>(table))
        m_nCount = grid->Count();
    return table->OnSaveDocument(path) != FALSE;
}

bool CFormTray::WriteSideFile(const CString& strName)
{
    const CString path = DataPath(strName);
    if (path.IsEmpty())
        return false;
    CAppServices* services = kestrun::AppServices();
    CBV* engine = services ? services->GetEngine() : nullptr;
    CSideFile side;
    side.strProfile = services ? services->GetCurrentProfileName() : CString();
    side.strImage = m_strImageFile;
    side.strTray = m_strTray;
    side.nBatch = m_nBatch;
    side.nIndexAOI = engine ? engine->m_AOIDoc.GetActiveIndex() : 0;
    return kestrun::tray::WriteSideFile(path, side);
}

bool CFormTray::CheckPosition(CAOI* pArea)
{
    CWaitCursor wait;
    if (m_pImageDoc == nullptr || pArea == nullptr || m_pImageDoc->m_nCheckBackground != 1)
        return true;
    CAOIDoc* areas = m_pImageDoc->GetDataDoc();
    if (areas == nullptr)
        return true;
    const int left = pArea->GetLeft();
    const int top = pArea->GetTop();
    const double measure = m_pImageDoc->FindBestPosition(pArea, kSearchRange, kSearchStep);
    if (measure == -1.0 || !(1.0 - measure / 255.0 < m_pImageDoc->m_dAOIMatchThreshold))
        return true;
    const CRect image = areas->GetImageRect();
    pArea->SetPosition(left, top, pArea->GetWidth(), pArea->GetHeight(), image.left, image.top, image.right,
                       image.bottom, CAOI::setPosition | CAOI::keepInImage);
    return false;
}
