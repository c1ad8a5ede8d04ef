// CGridView2: the selection shared with the image views and the class
// edit of a row.

#include "series/ui/gridview2.h"

#include "analysis/objdata.h"
#include "platform/core/messagebox.h"
#include "platform/ui/frame.h"
#include "platform/ui/inplaceedit.h"
#include "series/griddoc2.h"

#include <cstdlib>
#include <limits>

namespace {

// The in-place editor of a cell, a child of the list.
constexpr UINT kCellEditorId = 2;

constexpr const char* kClassTitle = "Class";
constexpr const char* kNucleiTitle = "Nuclei new";

bool IsEditableTitle(const CString& title)
{
    return title == kClassTitle || title == kNucleiTitle;
}

} // namespace

LRESULT CGridView2::OnHitObject(WPARAM wParam, LPARAM lParam)
{
    CGridDoc2* doc = GetGridDoc();
    const int index = static_cast<int>(wParam);
    if (doc == nullptr || lParam == reinterpret_cast<LPARAM>(this) || lParam == reinterpret_cast<LPARAM>(m_hWnd))
        return 0;
    // Frames of a single track are no records.
    if (index < 0 || index > doc->GetCount() || doc->m_bSingleTrack || doc->CountUnselected() == 0)
        return 0;
    // Shown before the record: its row's number less one. A hidden record
    // finds the next shown one, and none after the last.
    const int number = doc->CountUnselectedBefore(index) + 1;
    if (CFrameWnd* frame = GetParentFrame())
        frame->ActivateFrame();
    SelectRowQuietly(FindRowOfNumber(number));
    return 0;
}

LRESULT CGridView2::OnGridClicked(WPARAM wParam, LPARAM)
{
    // The list sends the number of the newly selected row less one: the
    // n-th shown record, wherever sorting put its row.
    const CGridDoc2* doc = GetGridDoc();
    if (m_bQuiet || doc == nullptr || doc->CountUnselected() == 0)
        return 0;
    BroadcastGridSelected(doc->m_bSingleTrack ? wParam + 1 : wParam);
    return 0;
}

LRESULT CGridView2::OnGridDataChanged(WPARAM, LPARAM)
{
    CGridDoc2* doc = GetGridDoc();
    if (doc == nullptr)
        return 0;
    const double value = std::atof(m_list.GetCursorText());
    // The row's first cell names its record: with hidden records the row
    // number is no index into the list.
    const int index = RecordIndexOfRow(*doc, m_list.GetCursorRow());
    if (index < 0)
        return 0;
    auto* object = dynamic_cast<CObjData*>(doc->GetAt(index));
    if (object == nullptr || object->m_ID != CGridDoc2::kTypeObject)
        return 0;
    const int column = m_list.GetCursorColumn();
    const CString title =
        column >= 0 && column < static_cast<int>(m_shownTitles.size()) ? m_shownTitles[static_cast<size_t>(column)]
                                                                       : CString();
    if (!IsEditableTitle(title) || value < 0.0 || value > std::numeric_limits<WORD>::max()) {
        MessageBeep(0xFFFFFFFF);
        return 0;
    }
    const auto number = static_cast<WORD>(value);
    if (title == kClassTitle)
        object->m_dClass = number;
    else
        object->m_nNuclei = number;
    doc->SetModifiedFlag();
    doc->NotifyDataChanged();
    return 0;
}

BOOL CGridView2::EditCell(int nRow, int nColumn)
{
    const CGridDoc2* doc = GetGridDoc();
    if (doc == nullptr || nRow < 0 || nRow >= m_list.GetRowCount() || nColumn < 0 ||
        nColumn >= static_cast<int>(m_shownTitles.size()))
        return FALSE;
    if (!IsEditableTitle(m_shownTitles[static_cast<size_t>(nColumn)]))
        return FALSE;
    const int index = RecordIndexOfRow(*doc, nRow);
    if (index < 0 || doc->GetAt(index)->m_ID != CGridDoc2::kTypeObject)
        return FALSE;
    CRect cell;
    if (!m_list.GetSubItemRect(nRow, nColumn, 0, cell))
        return FALSE;
    m_pCellEditor.reset();
    m_pCellEditor = std::make_unique<CInPlaceEdit>(nRow, nColumn, m_list.GetCellText(nRow, nColumn));
    if (!m_pCellEditor->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, cell, &m_list, kCellEditorId)) {
        m_pCellEditor.reset();
        return FALSE;
    }
    return TRUE;
}

void CGridView2::OnListDoubleClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    const auto* info = reinterpret_cast<NMITEMACTIVATE*>(pNMHDR);
    EditCell(info->iItem, info->iSubItem);
    *pResult = 0;
}

void CGridView2::OnEndCellEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
    const auto* info = reinterpret_cast<NMLVDISPINFO*>(pNMHDR);
    *pResult = 0;
    const bool accepted = info->pszText != nullptr;
    const CString text = accepted ? CString(info->pszText) : CString();
    const int row = info->iItem;
    const int column = info->iSubItem;
    // The editor has finished; it may go now.
    m_pCellEditor.reset();
    if (!accepted)
        return;
    m_list.SetCursor(row, column);
    m_list.SetCursorText(text);
    m_list.RedrawItems(row, row);
    SendMessage(m_nGridDataChangedMsg, 0, 0);
}
