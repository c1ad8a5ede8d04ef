// The tray-scan form's records and images: moving through the series,
// deleting, the stored image and result file of the record, and the
// commands it shares with the growth-test form.
#include "database/ui/dbformtrayscan.h"

#include "database/comerrorbox.h"
#include "database/dbdocado.h"
#include "database/dbfields.h"
#include "database/ui/dbdlgresources.h"
#include "database/ui/dbformdlgs.h"
#include "database/ui/dbmessreihen.h"
#include "database/ui/recordcursor.h"
#include "imaging/dibdocex.h"
#include "objectmodel/toolfunctions.h"
#include "outside/pixmere/dib.h"
#include "platform/core/folders.h"
#include "platform/core/paths.h"
#include "platform/ui/appservices.h"
#include "platform/ui/cmdtarget.h"
#include "platform/ui/winapp.h"
#include "series/ui/gridview2.h"

#include <memory>

using namespace kestrun::dbui;

namespace {

constexpr int kPlaceholderWidth = 1600;
constexpr int kPlaceholderHeight = 1200;
constexpr COLORREF kPlaceholderGrey = RGB(100, 100, 100);
constexpr DWORD kHelpContext = 0x20000 + IDD_DBFORMTRAYSCAN;

} // namespace

// ---- navigation -------------------------------------------------------------------------------

void CDBFormTrayScan::MoveAndShow(const std::function<void(CAdoRecordset&)>& move)
{
    try {
        if (!HasRecords())
            return;
        move(*m_pRecordset);
    } catch (const _com_error& e) {
        DumpComError(e);
    }
    UpdateData(FALSE);
    OnLoadImage();
}

void CDBFormTrayScan::OnRecordFirst()
{
    MoveAndShow([](CAdoRecordset& rs) { rs.MoveFirst(); });
}

void CDBFormTrayScan::OnRecordPrev()
{
    MoveAndShow(StepBack);
}

void CDBFormTrayScan::OnRecordNext()
{
    if (!HasRecords()) {
        DetachImageView();
        return;
    }
    MoveAndShow(StepForward);
}

void CDBFormTrayScan::OnRecordLast()
{
    MoveAndShow([](CAdoRecordset& rs) { rs.MoveLast(); });
}

void CDBFormTrayScan::OnDeleteRecord()
{
    try {
        if (!HasCurrentRecord())
            return;
        m_pRecordset->Delete();
    } catch (const _com_error& e) {
        DumpComError(e);
        return;
    }
    OnRecordNext();
    UpdateData(FALSE);
}

void CDBFormTrayScan::OnUpdateRecordOpen(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(IsRecordsetOpen(m_pRecordset));
}

void CDBFormTrayScan::OnUpdateRecordAny(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(HasRecords());
}

void CDBFormTrayScan::OnUpdateRecordFirstPrev(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CanStepBack(m_pRecordset));
}

void CDBFormTrayScan::OnUpdateRecordNextLast(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CanStepForward(m_pRecordset));
}

void CDBFormTrayScan::OnUpdateFileSave(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(FALSE);
}

// ---- the record's image and results ---------------------------------------------------------

CString CDBFormTrayScan::RecordFile(const CString& folder, const CString& name)
{
    // Names come from the database: only plain names inside the folder.
    if (name.IsEmpty() || !kestrun::IsPlainFileName(name))
        return CString();
    return AddTrailingBackslash(folder) + name;
}

CString CDBFormTrayScan::ImageFile(const CString& name)
{
    CAppServices* services = kestrun::AppServices();
    return RecordFile(services ? services->GetImageDir() : CString(), name);
}

CString CDBFormTrayScan::DataFileName() const
{
    try {
        if (!HasCurrentRecord())
            return CString();
        CString name = GetFieldString(m_pRecordset, "DataName");
        if (name.IsEmpty()) {
            name = GetFieldString(m_pRecordset, "Bildname");
            name.Replace(".jpg", ".xml");
        }
        return name;
    } catch (const _com_error& e) {
        DumpComError(e);
        return CString();
    }
}

void CDBFormTrayScan::OnLoadImage()
{
    CAppServices* services = kestrun::AppServices();
    CString imageName;
    try {
        if (HasCurrentRecord())
            imageName = GetFieldString(m_pRecordset, "Bildname");
    } catch (const _com_error& e) {
        DumpComError(e);
    }
    const CString path = ImageFile(imageName);
    if (path.IsEmpty() || !kestrun::IsRegularFile(path)) {
        CDIB* page = m_pImageDoc != nullptr ? m_pImageDoc->GetActiveDIB() : nullptr;
        if (page == nullptr) {
            auto blank = std::make_unique<CDIB>();
            if (blank->InitDIB(kPlaceholderWidth, kPlaceholderHeight, 24)) {
                blank->SetAllGray(kPlaceholderGrey);
                AcquireImage(std::move(blank));
            }
        } else {
            page->SetAllGray(kPlaceholderGrey);
            ShowImage();
        }
    } else {
        OpenImageFile(path);
    }
    if (services == nullptr || services->GetMode() != 2 || m_pImageDoc == nullptr)
        return;
    const CString data = RecordFile(services->GetDataDir(), DataFileName());
    if (!data.IsEmpty() && kestrun::IsRegularFile(data))
        m_pImageDoc->LoadObjectData(data, FALSE);
}

int CDBFormTrayScan::LoadResultData()
{
    const CString name = DataFileName();
    CAppServices* services = kestrun::AppServices();
    auto* table = services ? dynamic_cast<CGridView2*>(services->GetGridView()) : nullptr;
    if (name.IsEmpty() || table == nullptr || table->GetDocument() == nullptr)
        return 1;
    const CString folder = services->GetDataDir();
    if (!folder.IsEmpty() && GetFileAttributes(folder) == INVALID_FILE_ATTRIBUTES)
        return 0;
    const CString path = RecordFile(folder, name);
    if (!path.IsEmpty())
        table->GetDocument()->OnOpenDocument(path);
    return 1;
}

BOOL CDBFormTrayScan::CreateImageView(BOOL bVideo)
{
    return CreateEmbeddedView(IDC_PICTURE, IDC_FRAME_LIMIT, bVideo);
}

// ---- the commands shared with the growth-test form -------------------------------------------

void CDBFormTrayScan::OnInitVideo()
{
    InitVideo();
}

void CDBFormTrayScan::OnSelectReportTemplate()
{
    CReportPath dlg(this);
    dlg.m_strPath = m_strReport;
    if (dlg.DoModal() == IDOK)
        m_strReport = dlg.m_strPath;
}

void CDBFormTrayScan::OnSeriesDialog()
{
    CDBMessreihen1 dlg(this);
    dlg.m_pDoc = GetDocument();
    if (dlg.DoModal() == IDOK)
        UpdateData(FALSE);
}

void CDBFormTrayScan::OnHelp()
{
    if (CWinApp* app = AfxGetApp())
        app->WinHelp(kHelpContext, 1);
}

void CDBFormTrayScan::OnSize(UINT nType, int cx, int cy)
{
    CBVFormView::OnSize(nType, cx, cy);
    if (nType == SIZE_MAXIMIZED)
        FitFrameToMainWindow();
}

void CDBFormTrayScan::OnDestroy()
{
    CBVFormView::OnDestroy();
    DetachImageView();
    SendStateToBox(1);
}
