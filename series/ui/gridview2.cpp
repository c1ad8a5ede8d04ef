// CGridView2: creation, layout, the profile values and destruction.

#include "series/ui/gridview2.h"

#include "platform/core/exceptions.h"
#include "platform/core/messages.h"
#include "platform/core/profile.h"
#include "platform/ui/frame.h"
#include "platform/ui/inplaceedit.h"
#include "platform/ui/winapp.h"
#include "series/griddoc2.h"
#include "series/tablecommands.h"

#include <cstdlib>
#include <exception>

IMPLEMENT_DYNCREATE(CGridView2, CView)

namespace {

constexpr const char* kProfileSection = "GridView";
// The list: a visible child in report view, single selection, owner-drawn
// rows whose texts the list keeps itself.
constexpr DWORD kListStyle = 0x50001405;

} // namespace

BEGIN_MESSAGE_MAP(CGridView2, CView)
    ON_REGISTERED_MESSAGE(m_nHitObjectMsg, OnHitObject)
    ON_REGISTERED_MESSAGE(m_nGridDataChangedMsg, OnGridDataChanged)
    ON_REGISTERED_MESSAGE(m_nGridClickedMsg, OnGridClicked)
    ON_NOTIFY(NM_DBLCLK, kListId, OnListDoubleClick)
    ON_NOTIFY(LVN_ENDLABELEDIT, kListId, OnEndCellEdit)
    ON_COMMAND(ID_TABLE_CONFIGURATION, OnConfiguration)
    ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
    ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
END_MESSAGE_MAP()

CGridView2::CGridView2()
    : m_nHitObjectMsg(RegisterWindowMessage("HIT_OBJECT")),
      m_nGridDataChangedMsg(RegisterWindowMessage("GridDataChanged")),
      m_nGridClickedMsg(RegisterWindowMessage("GridClicked")),
      m_nGridSelectedMsg(RegisterWindowMessage("GridSelected")),
      m_nToDibViewMsg(RegisterWindowMessage("MSG_TO_DIBVIEW"))
{
    BuildMessageMap();
}

CGridView2::~CGridView2()
{
    try {
        if (CGridDoc2* doc = GetGridDoc())
            doc->SaveColumnConfig();
    } catch (const CException& e) {
        e.ReportError();
    } catch (const std::exception& e) {
        AfxMessageBox(e.what(), MB_ICONEXCLAMATION);
    }
}

CGridDoc2* CGridView2::GetGridDoc() const
{
    return DYNAMIC_DOWNCAST(CGridDoc2, GetDocument());
}

CString CGridView2::GetPlacementSection() const
{
    CString section = "GridView2";
    if (const CGridDoc2* doc = GetGridDoc())
        section += FormatString("-%d", doc->m_nTableMode);
    return section;
}

int CGridView2::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    ReadProfile();
    return 0;
}

void CGridView2::OnInitialUpdate()
{
    if (m_list.m_hWnd == nullptr) {
        CRect client;
        GetClientRect(&client);
        if (!m_list.Create(kListStyle, client, this, kListId))
            return;
    }
    if (CGridDoc2* doc = GetGridDoc()) {
        doc->BuildTitles();
        doc->LoadColumnConfig();
    }
    CView::OnInitialUpdate();
}

void CGridView2::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (m_list.m_hWnd != nullptr && cx > 0 && cy > 0)
        m_list.MoveWindow(0, 0, cx, cy);
}

void CGridView2::OnSetFocus(CWnd* pOldWnd)
{
    CView::OnSetFocus(pOldWnd);
    if (m_list.m_hWnd != nullptr && m_list.IsWindowVisible())
        m_list.SetFocus();
}

void CGridView2::OnDraw(CDC*)
{
}

void CGridView2::OnDestroy()
{
    m_pCellEditor.reset();
    if (CGridDoc2* doc = GetGridDoc(); doc && m_list.m_hWnd != nullptr)
        TakeColumnWidths(*doc);
    CView::OnDestroy();
    BroadcastGridSelected(static_cast<WPARAM>(-1));
    WriteProfile();
}

void CGridView2::ReadProfile()
{
    const auto readLong = [](const char* key, LONG current) {
        const CString text = GetProfileString(kProfileSection, key, FormatString("%ld", static_cast<long>(current)));
        return static_cast<LONG>(std::atol(text));
    };
    m_lSelectionI = readLong("SelectionI", m_lSelectionI);
    m_lSelectionII = readLong("SelectionII", m_lSelectionII);
    m_nNuclei = static_cast<int>(GetProfileInt(kProfileSection, "Nuclei", m_nNuclei));
}

void CGridView2::WriteProfile() const
{
    WriteProfileString(kProfileSection, "SelectionI", FormatString("%ld", static_cast<long>(m_lSelectionI)));
    WriteProfileString(kProfileSection, "SelectionII", FormatString("%ld", static_cast<long>(m_lSelectionII)));
    WriteProfileInt(kProfileSection, "Nuclei", m_nNuclei);
}

void CGridView2::BroadcastGridSelected(WPARAM wParam)
{
    if (CWnd* main = AfxGetMainWnd())
        main->SendMessageToDescendants(m_nGridSelectedMsg, wParam, reinterpret_cast<LPARAM>(GetDocument()));
}
