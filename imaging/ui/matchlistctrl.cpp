#include "imaging/ui/matchlistctrl.h"

#include "platform/core/profile.h"
#include "platform/ui/systemlook.h"
#include "platform/ui/windowdc.h"

#include <algorithm>
#include <array>

IMPLEMENT_DYNAMIC(CMatchListCtrl, CListCtrl)

namespace {

constexpr std::array<int, 3> kDefaultWidths = {30, 30, 45};
constexpr int kCellInset = 2;

} // namespace

CMatchListCtrl::~CMatchListCtrl()
{
    DestroyHandleNow();
}

void CMatchListCtrl::CreateColumns(LPCTSTR section, LPCTSTR value, LPCTSTR judgement)
{
    const std::array<LPCTSTR, 3> titles = {"Pos", value, judgement};
    for (int i = 0; i < 3; ++i) {
        CString key;
        key.Format("Width%d", i);
        const int width = static_cast<int>(GetProfileInt(section, key, kDefaultWidths[static_cast<size_t>(i)]));
        InsertColumn(i, titles[static_cast<size_t>(i)], LVCFMT_LEFT, width);
    }
}

void CMatchListCtrl::SaveColumnWidths(LPCTSTR section) const
{
    for (int i = 0; i < 3 && i < GetColumnCount(); ++i) {
        CString key;
        key.Format("Width%d", i);
        WriteProfileInt(section, key, GetColumnWidth(i));
    }
}

void CMatchListCtrl::Fill(const std::vector<double>& values, const std::vector<bool>& ok)
{
    DeleteAllItems();
    const int count = static_cast<int>(std::min(values.size(), ok.size()));
    for (int i = 0; i < count; ++i) {
        CString text;
        text.Format("%d", i + 1);
        const int row = InsertItem(i, text);
        text.Format("%.3lf", values[static_cast<size_t>(i)]);
        SetItemText(row, 1, text);
        SetItemText(row, 2, ok[static_cast<size_t>(i)] ? "OK" : "Failed");
    }
}

void CMatchListCtrl::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(client, GetSysColor(COLOR_WINDOW));
    CFont font;
    const int saved = dc.SaveDC();
    SelectControlFont(&dc, this, font);
    for (int row = GetTopIndex(); row >= 0 && row < GetItemCount(); ++row) {
        CRect bounds;
        if (!GetItemRect(row, &bounds, 0) || bounds.top >= client.bottom)
            break;
        DRAWITEMSTRUCT item{};
        item.CtlType = 102; // a list view
        item.CtlID = static_cast<UINT>(GetDlgCtrlID());
        item.itemID = static_cast<UINT>(row);
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = (GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) ? ODS_SELECTED : 0;
        item.hwndItem = m_hWnd;
        item.hDC = &dc;
        item.rcItem = bounds;
        DrawItem(&item);
    }
    dc.RestoreDC(saved);
}

void CMatchListCtrl::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CDC* pDC = lpDrawItemStruct != nullptr ? lpDrawItemStruct->hDC : nullptr;
    const int row = lpDrawItemStruct != nullptr ? static_cast<int>(lpDrawItemStruct->itemID) : -1;
    if (pDC == nullptr || row < 0 || row >= GetItemCount())
        return;
    const bool selected = (lpDrawItemStruct->itemState & ODS_SELECTED) != 0;
    const COLORREF text = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    const COLORREF back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    const CRect bounds(lpDrawItemStruct->rcItem);
    const COLORREF oldText = pDC->SetTextColor(text);
    const int oldMode = pDC->SetBkMode(TRANSPARENT);
    pDC->FillSolidRect(bounds, back);

    constexpr UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    CRect column = bounds;
    column.right = column.left;
    for (int col = 0; col < GetColumnCount(); ++col) {
        column.left = column.right;
        column.right = column.left + GetColumnWidth(col);
        const CString cell = GetItemText(row, col);
        if (cell == "OK")
            pDC->FillSolidRect(column, kOKColour);
        else if (cell == "Failed")
            pDC->FillSolidRect(column, kFailedColour);
        CRect area = column;
        area.DeflateRect(kCellInset, 0);
        pDC->DrawText(cell, area, format);
    }
    pDC->SetBkMode(oldMode);
    pDC->SetTextColor(oldText);
}
