#include "platform/ui/colordlg.h"

#include "platform/ui/dialogtemplate.h"
#include "platform/ui/listboxes.h"

#include <mutex>

IMPLEMENT_DYNAMIC(CColorDlg, CPropertyPage)

namespace {

constexpr COLORREF kPalette[CColorDlg::SwatchCount] = {
    RGB(0, 0, 0),       RGB(255, 255, 255), RGB(255, 0, 0),   RGB(0, 255, 0),
    RGB(0, 0, 255),     RGB(255, 255, 0),   RGB(255, 0, 255), RGB(0, 255, 255),
    RGB(128, 128, 128), RGB(192, 192, 192), RGB(128, 0, 0),   RGB(0, 128, 0),
    RGB(0, 0, 128),     RGB(128, 128, 0),   RGB(128, 0, 128), RGB(0, 128, 128),
};

void registerTemplate()
{
    static std::once_flag once;
    std::call_once(once, [] {
        using namespace kestrun;
        RegisterDialogTemplate(CColorDlg::IDD,
                               {"Color",
                                CRect(0, 0, 200, 80),
                                {
                                    LText("Item &Name", IDC_STATIC, 7, 7, 100, 8),
                                    ComboBox(CColorDlg::IDC_ITEM_LIST, 7, 18, 100, 120, CBS_DROPDOWNLIST | WS_VSCROLL),
                                }});
    });
}

} // namespace

BEGIN_MESSAGE_MAP(CColorDlg, CPropertyPage)
    ON_COMMAND_RANGE(IDC_FIRST_SWATCH, IDC_FIRST_SWATCH + SwatchCount - 1, OnColorButton)
    ON_CBN_SELCHANGE(IDC_ITEM_LIST, OnSelChangeItem)
END_MESSAGE_MAP()

CColorDlg::CColorDlg() : CPropertyPage((registerTemplate(), IDD))
{
    BuildMessageMap();
}

CColorDlg::~CColorDlg()
{
    DestroyHandleNow();
}

COLORREF CColorDlg::PaletteColor(int nSwatch)
{
    return (nSwatch >= 0 && nSwatch < SwatchCount) ? kPalette[nSwatch] : 0;
}

COLORREF CColorDlg::GetColor(int i) const
{
    return (i >= 0 && i < m_arrColors.GetSize()) ? m_arrColors.GetAt(i) : 0;
}

CComboBox* CColorDlg::ItemList() const
{
    return DYNAMIC_DOWNCAST(CComboBox, GetDlgItem(static_cast<int>(IDC_ITEM_LIST)));
}

BOOL CColorDlg::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    for (int i = 0; i < SwatchCount; ++i) {
        const int x = 200 + 20 * (i % 4);
        const int y = 20 + 20 * (i / 4);
        CColButton& swatch = m_swatches[static_cast<size_t>(i)];
        swatch.Create("", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(x, y, x + 20, y + 20), this,
                      IDC_FIRST_SWATCH + static_cast<UINT>(i));
        swatch.SetColor(kPalette[i]);
    }
    if (CComboBox* list = ItemList()) {
        for (INT_PTR i = 0; i < m_arrNames.GetSize(); ++i)
            list->AddString(m_arrNames.GetAt(i));
        list->SetCurSel(0);
    }
    MarkSwatchOf(GetColor(0));
    return TRUE;
}

void CColorDlg::MarkSwatch(int nSwatch)
{
    if (m_nSelected >= 0)
        m_swatches[static_cast<size_t>(m_nSelected)].SetSelected(FALSE);
    m_nSelected = (nSwatch >= 0 && nSwatch < SwatchCount) ? nSwatch : -1;
    if (m_nSelected >= 0)
        m_swatches[static_cast<size_t>(m_nSelected)].SetSelected(TRUE);
}

void CColorDlg::MarkSwatchOf(COLORREF color)
{
    int found = -1;
    for (int i = 0; i < SwatchCount && found < 0; ++i) {
        if (kPalette[i] == color)
            found = i;
    }
    MarkSwatch(found);
}

void CColorDlg::OnColorButton(UINT nID)
{
    const int swatch = static_cast<int>(nID - IDC_FIRST_SWATCH);
    MarkSwatch(swatch);
    CComboBox* list = ItemList();
    const int entry = list ? list->GetCurSel() : -1;
    if (entry < 0)
        return;
    m_arrColors.SetAtGrow(entry, kPalette[swatch]);
    list->Invalidate();
    MarkSwatchOf(GetColor(entry));
}

void CColorDlg::OnSelChangeItem()
{
    CComboBox* list = ItemList();
    MarkSwatchOf(GetColor(list ? list->GetCurSel() : -1));
}
