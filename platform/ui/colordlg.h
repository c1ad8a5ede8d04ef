#pragma once
// CColorDlg: the property page "Color" that gives each entry of a list of
// names one of 16 standard colours. The owner fills the names and colours
// before the page is shown and reads the colours afterwards.

#include "platform/core/arrays.h"
#include "platform/ui/colbutton.h"
#include "platform/ui/propsheet.h"

#include <array>

class CComboBox;

class CColorDlg : public CPropertyPage
{
    DECLARE_DYNAMIC(CColorDlg)

public:
    enum
    {
        IDD = 466
    };
    static constexpr UINT IDC_ITEM_LIST = 2930;
    static constexpr UINT IDC_FIRST_SWATCH = 1000;
    static constexpr int SwatchCount = 16;

    CColorDlg();
    ~CColorDlg() override;

    // The colour of entry i, 0 past the table.
    COLORREF GetColor(int i) const;
    // The standard colours in swatch order.
    static COLORREF PaletteColor(int nSwatch);
    // The marked swatch, -1 when the entry's colour is none of them.
    int GetSelectedSwatch() const { return m_nSelected; }

    CStringArray m_arrNames;
    CDWordArray m_arrColors;

protected:
    BOOL OnInitDialog() override;
    void OnColorButton(UINT nID);
    void OnSelChangeItem();

    DECLARE_MESSAGE_MAP()

private:
    CComboBox* ItemList() const;
    // Marks the swatch of the colour, or none.
    void MarkSwatchOf(COLORREF color);
    void MarkSwatch(int nSwatch);

    std::array<CColButton, SwatchCount> m_swatches;
    int m_nSelected = -1;
};
