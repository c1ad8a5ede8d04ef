// CGridDoc2: records, columns, the shown table and the notices.

#include "series/griddoc2.h"

#include "analysis/objdata.h"
#include "objectmodel/toolfunctions.h"
#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/exceptions.h"
#include "platform/core/folders.h"
#include "platform/core/messagebox.h"
#include "platform/core/messages.h"
#include "platform/core/profile.h"
#include "platform/ui/winapp.h"
#include "platform/ui/wnd.h"
#include "series/tablecommands.h"
#include "series/tabletext.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CGridDoc2, CDataDoc)

BEGIN_MESSAGE_MAP(CGridDoc2, CDataDoc)
    ON_COMMAND(ID_TABLE_EXPORT_CSV, OnExportCsv)
    ON_COMMAND(ID_TABLE_EXPORT_ASCII, OnExportText)
    ON_COMMAND(ID_TABLE_EXPORT_EXCEL, OnExportExcel)
    ON_COMMAND(ID_TABLE_SHOW_CHART, OnShowChart)
    ON_UPDATE_COMMAND_UI(ID_TABLE_SHOW_CHART, OnUpdateShowChart)
END_MESSAGE_MAP()

namespace {

// A table shows at most this many columns (the grid's row records).
constexpr int kMaxShownColumns = 25;

LPARAM AsParam(CDocument* document)
{
    return reinterpret_cast<LPARAM>(document);
}

} // namespace

CGridDoc2::CGridDoc2()
{
    m_strConfigPath = AddTrailingBackslash(GetDataRootPath()) + "GridConfig.ini";
    BuildMessageMap();
}

CGridDoc2::~CGridDoc2()
{
    try {
        if (CWnd* main = AfxGetMainWnd())
            main->SendMessage(RegisterWindowMessage("DELETE_DOCUMENT"), 0, AsParam(this));
    } catch (const CException& e) {
        e.ReportError();
    } catch (const std::exception& e) {
        AfxMessageBox(e.what(), MB_ICONEXCLAMATION);
    }
}

void CGridDoc2::AddObject(CBaseObj* pObj)
{
    if (pObj != nullptr && GetCount() == 0)
        m_nFirstType = pObj->m_ID;
    CDataDoc::AddObject(pObj);
}

void CGridDoc2::DeleteContents()
{
    m_Titles.RemoveAll();
    m_arrVisible.RemoveAll();
    m_arrWidths.RemoveAll();
    CDataDoc::DeleteContents();
}

void CGridDoc2::Serialize(CArchive& ar)
{
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    if (xml.GetChildNode("CGridDoc2") == nullptr)
        return;
    xml.GetCurrentNode()->SerializeStringArray("m_Titles", m_Titles);
    CDataDoc::Serialize(ar);
    xml.GetCurrentNode()->EndNode();
    if (ar.IsLoading() && GetCount() > 0)
        m_nFirstType = GetAt(0)->m_ID;
}

// ---- columns -----------------------------------------------------------------------------

void CGridDoc2::BuildTitles()
{
    // A record that knows no titles leaves the ones the table has. Tracks
    // answer their frame titles in single-track mode.
    if (GetCount() > 0)
        GetAt(0)->GetColumnTitles(m_Titles, m_bSingleTrack);
}

CString CGridDoc2::GetConfigSection() const
{
    if (GetCount() > 0 && GetAt(0)->m_ID == kTypeTrack)
        return m_bSingleTrack == 1 ? "TracksSingle" : "Tracks";
    return "SegObj";
}

void CGridDoc2::LoadColumnConfig()
{
    m_arrVisible.RemoveAll();
    m_arrWidths.RemoveAll();
    if (GetCount() > 0) {
        // One read for all columns: a table may have thousands.
        const kestrun::CProfileSection config(GetConfigSection(), m_strConfigPath);
        for (const CString& title : m_Titles) {
            m_arrVisible.Add(static_cast<BYTE>(config.GetInt(title, 1)));
            m_arrWidths.Add(static_cast<WORD>(config.GetInt(title + "Width", DefaultColumnWidth(title))));
        }
    }
    CountVisibleColumns();
}

void CGridDoc2::SaveColumnConfig()
{
    const int count = std::min({GetColumnCount(), static_cast<int>(m_arrVisible.GetSize()),
                                static_cast<int>(m_arrWidths.GetSize())});
    if (count == 0)
        return;
    kestrun::CreateFolderTree(SplitModulePath(m_strConfigPath, TRUE, TRUE, FALSE, 0));
    std::vector<std::pair<CString, CString>> values;
    values.reserve(2 * static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const CString& title = m_Titles[i];
        values.emplace_back(title, FormatString("%d", m_arrVisible[i]));
        values.emplace_back(title + "Width", FormatString("%d", m_arrWidths[i]));
    }
    // One write for all columns: every write rewrites and syncs the whole file.
    kestrun::WritePrivateProfileValues(GetConfigSection(), values, m_strConfigPath);
}

BOOL CGridDoc2::IsColumnVisible(int nColumn) const
{
    return nColumn >= 0 && nColumn < m_arrVisible.GetSize() && m_arrVisible[nColumn] != 0;
}

std::vector<int> CGridDoc2::GetShownColumns() const
{
    std::vector<int> shown;
    for (int c = 0; c < GetColumnCount(); ++c) {
        if (IsColumnVisible(c))
            shown.push_back(c);
    }
    return shown;
}

int CGridDoc2::CountVisibleColumns()
{
    m_nVisibleColumns = static_cast<int>(GetShownColumns().size());
    return m_nVisibleColumns;
}

// ---- the shown table ---------------------------------------------------------------------------

CBaseObj* CGridDoc2::GetCurrentTrack() const
{
    if (GetCount() == 0)
        return nullptr;
    return GetAt(std::max(GetCurrentIndex(), 0));
}

CString CGridDoc2::ColumnText(CBaseObj& record, int nColumn)
{
    try {
        return record.GetColumnValues(nColumn);
    } catch (const CInvalidArgException&) {
        // A record with other column flags than the first one has fewer columns.
        return {};
    }
}

CString CGridDoc2::FrameText(CBaseObj& record, int nFrame, int nColumn)
{
    try {
        return record.GetColumnValuesAt(nFrame, nColumn);
    } catch (const CInvalidArgException&) {
        return {};
    }
}

CString CGridDoc2::GetCellText(int nRow, int nColumn) const
{
    const CString none = "NULL";
    const std::vector<int> shown = GetShownColumns();
    const int columns = std::min(static_cast<int>(shown.size()), kMaxShownColumns);
    if (nRow < 0 || nColumn < 0 || nColumn >= columns)
        return none;
    const int column = shown[static_cast<size_t>(nColumn)];

    if (m_bSingleTrack) {
        CBaseObj* track = GetCurrentTrack();
        if (track == nullptr || nRow >= track->GetRowCount())
            return none;
        return kestrun::CutCellText(column == 0 ? FormatString("%d", nRow + 1) : FrameText(*track, nRow, column));
    }
    if (nRow >= CountUnselected())
        return none;
    if (column == 0)
        return FormatString("%d", nRow + 1);
    return kestrun::CutCellText(ColumnText(*GetUnselectedAt(nRow), column));
}

CString CGridDoc2::GetTitleText() const
{
    switch (m_nTableMode) {
    case 0:
        return FormatString("Count Result: %d", CountUnselected());
    case 1:
        return "Area Measurement";
    case 2:
        return "AOI Measurement";
    default:
        return "Table";
    }
}

// ---- notices ------------------------------------------------------------------------------------

void CGridDoc2::NotifyDataChanged()
{
    if (CWnd* main = AfxGetMainWnd())
        main->SendMessageToDescendants(RegisterWindowMessage("DataChanged"), 0, AsParam(this));
}

bool CGridDoc2::GetRecordRect(const CBaseObj& record, CRect& rect)
{
    const auto* object = dynamic_cast<const CObjData*>(&record);
    if (object == nullptr)
        return false;
    rect = object->m_Rect;
    return true;
}

int CGridDoc2::ExcludeCurrentObject(CRect& rect)
{
    const int current = GetCurrentIndex();
    if (current < 0)
        return 0;
    CBaseObj& record = *GetAt(current);
    if (record.m_ID == kTypeContourSegment) {
        GetRecordRect(record, rect);
        DeleteObject(current);
    } else if (record.m_ID == kTypeObject) {
        GetRecordRect(record, rect);
        SelectObject(current);
    }
    SetModifiedFlag();
    NotifyDataChanged();
    UpdateAllViews(nullptr);
    return 1;
}

int CGridDoc2::IncludeCurrentObject(CRect& rect)
{
    const int current = GetCurrentIndex();
    if (current < 0)
        return 0;
    CBaseObj& record = *GetAt(current);
    if (record.m_ID == kTypeContourSegment)
        GetRecordRect(record, rect);
    else if (record.m_ID == kTypeObject)
        DeselectObject(current);
    SetModifiedFlag();
    NotifyDataChanged();
    UpdateAllViews(nullptr);
    return 1;
}

// ---- commands ----------------------------------------------------------------------------------

void CGridDoc2::OnExportExcel()
{
    if (CWnd* main = AfxGetMainWnd())
        main->SendMessage(RegisterWindowMessage("Message RunMacro "), 0, AsParam(this));
}
