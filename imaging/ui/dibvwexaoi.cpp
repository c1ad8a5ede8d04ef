// CDIBVwEx: the areas of interest - delete, the modeless area dialog with
// its copies by click, copy and paste, the list, and the area files.

#include "imaging/ui/dibvwex.h"

#include "imaging/dibdoc.h"
#include "imaging/ui/dibviewcommands.h"
#include "imaging/ui/matchdlg.h"

#include "analysis/aoidoc.h"
#include "analysis/ui/aoidlg.h"
#include "analysis/ui/aoilistdlg.h"
#include "analysis/ui/aoiowner.h"

#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"
#include "platform/ui/appservices.h"
#include "platform/ui/commondialogs.h"

namespace {

constexpr const char* kAOIFilter = "Konfiguration File (*.aoi) |*.aoi||";

// What the area dialogs reach of the view and its document.
class CViewAOIOwner : public CAOIOwner
{
public:
    explicit CViewAOIOwner(CDIBVwEx& view, CAOIDoc* areas) : m_view(view), m_areas(areas) {}

    CWnd* GetOwnerWnd() override { return &m_view; }
    CAOIDoc* GetAOIDoc() override { return m_areas; }
    CDIB* GetActivePage() override
    {
        CDIBDoc* doc = m_view.GetDocument();
        return doc != nullptr ? doc->GetActiveDIB() : nullptr;
    }
    void RedrawView() override
    {
        if (m_view.GetSafeHwnd() != nullptr)
            m_view.Invalidate(FALSE);
    }
    void UpdateViews() override
    {
        if (CDIBDoc* doc = m_view.GetDocument())
            doc->UpdateAllViews(nullptr);
    }

private:
    CDIBVwEx& m_view;
    CAOIDoc* m_areas;
};

} // namespace

void CDIBVwEx::RegisterAOICommands()
{
    using ThisClass = CDIBVwEx;
    ON_COMMAND(ID_VIEW_AOI_DELETE, OnAOIDelete)
    ON_UPDATE_COMMAND_UI(ID_VIEW_AOI_DELETE, OnUpdateAOIPresent)
    ON_COMMAND(ID_VIEW_AOI_MODIFY, OnAOIModify)
    ON_UPDATE_COMMAND_UI(ID_VIEW_AOI_MODIFY, OnUpdateAOIPresent)
    ON_COMMAND(ID_VIEW_AOI_LIST, OnAOIList)
    ON_UPDATE_COMMAND_UI(ID_VIEW_AOI_LIST, OnUpdateAOIPresent)
    ON_COMMAND(ID_VIEW_AOI_LOAD, OnAOILoad)
    ON_UPDATE_COMMAND_UI(ID_VIEW_AOI_LOAD, OnUpdateAOIAlways)
    ON_COMMAND(ID_VIEW_AOI_SAVE, OnAOISave)
    ON_UPDATE_COMMAND_UI(ID_VIEW_AOI_SAVE, OnUpdateAOIAlways)
}

void CDIBVwEx::OnUpdateAOIPresent(CCmdUI* pCmdUI)
{
    CAOIDoc* areas = GetAOIDoc();
    pCmdUI->Enable(areas != nullptr && areas->GetAOICount() > 0);
}

void CDIBVwEx::OnUpdateAOIAlways(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(GetAOIDoc() != nullptr);
}

void CDIBVwEx::OnAOIDelete()
{
    CAOIDoc* areas = GetAOIDoc();
    if (areas == nullptr || areas->GetActiveAOI(false) == nullptr)
        return;
    const int index = areas->GetActiveIndex();
    areas->DeleteAOI(index);
    NotifyPatternMatching(CMatchDlg::noticeAreaDeleted, index);
    RefreshAOIDialog();
    if (m_bZoom) {
        if (CDIBDoc* doc = GetDocument())
            doc->UpdateAllViews(nullptr);
    } else {
        Invalidate(FALSE);
    }
    if (CAppServices* services = kestrun::AppServices())
        services->SetSettingsChanged();
}

void CDIBVwEx::OnAOIModify()
{
    CAOIDoc* areas = GetAOIDoc();
    if (areas == nullptr)
        return;
    if (m_pAOIDlg) {
        m_pAOIDlg->BringWindowToTop();
        return;
    }
    m_pAOIOwner = std::make_unique<CViewAOIOwner>(*this, areas);
    auto dialog = std::make_unique<CAOIDlg>(m_pAOIOwner.get());
    if (!dialog->Create(this)) {
        AfxMessageBox("Cannot create window");
        return;
    }
    m_pAOIDlg = std::move(dialog);
}

void CDIBVwEx::OnAOIList()
{
    CAOIDoc* areas = GetAOIDoc();
    if (areas == nullptr)
        return;
    CViewAOIOwner owner(*this, areas);
    CAOIListDlg dialog(&owner, this);
    dialog.DoModal();
}

void CDIBVwEx::OnAOILoad()
{
    CAOIDoc* areas = GetAOIDoc();
    if (areas == nullptr)
        return;
    CFileDialog dialog(TRUE, "aoi", nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, kAOIFilter, this);
    dialog.m_ofn.lpstrTitle = "Open File";
    if (dialog.DoModal() != IDOK)
        return;
    const CString path = dialog.GetPathName();
    try {
        if (!areas->LoadAOIFile(path))
            AfxMessageBox(FormatString("Areas of interest %s cannot be read: the file is empty.", path.GetString()));
    } catch (const CException& e) {
        AfxMessageBox(FormatString("Areas of interest %s cannot be read: %s", path.GetString(),
                                   e.GetErrorMessage().GetString()));
    }
    RefreshAOIDialog();
    Invalidate(TRUE);
}

void CDIBVwEx::OnAOISave()
{
    CAOIDoc* areas = GetAOIDoc();
    if (areas == nullptr)
        return;
    CFileDialog dialog(FALSE, "aoi", nullptr, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY, kAOIFilter, this);
    dialog.m_ofn.lpstrTitle = "Save as ...";
    if (dialog.DoModal() != IDOK)
        return;
    const CString path = dialog.GetPathName();
    try {
        areas->SaveAOIFile(path);
    } catch (const CException& e) {
        AfxMessageBox(FormatString("Areas of interest %s cannot be written: %s", path.GetString(),
                                   e.GetErrorMessage().GetString()));
    }
}

bool CDIBVwEx::PlaceAOICopyAt(CPoint ptImage)
{
    if (!m_pAOIDlg || !m_pAOIDlg->IsAddOn())
        return false;
    m_pAOIDlg->CopyActiveAOITo(ptImage.x, ptImage.y);
    NotifyPatternMatching(CMatchDlg::noticeAreasChanged, 0);
    return true;
}

void CDIBVwEx::RefreshAOIDialog()
{
    if (m_pAOIDlg)
        m_pAOIDlg->RefreshFromActiveAOI();
}

BOOL CDIBVwEx::PreTranslateMessage(MSG* pMsg)
{
    // Escape cancels a running tool, as the accelerator of 33114; a
    // tracker's drag takes it itself.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE) {
        if (CDIBDoc* doc = GetDocument(); doc && doc->m_nDrawMode != kDrawNone) {
            SendMessage(WM_COMMAND, ID_CANCEL_TOOL, 0);
            return TRUE;
        }
    }
    if (pMsg->message == WM_KEYDOWN) {
        if (m_pAOIDlg)
            m_pAOIDlg->SendMessage(WM_KEYDOWN, pMsg->wParam, pMsg->lParam);
        if (pMsg->wParam == VK_DELETE)
            OnAOIDelete();
    }
    return CDIBView::PreTranslateMessage(pMsg);
}
