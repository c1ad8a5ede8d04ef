// CGridView2: the configuration sheet, copying and printing.

#include "series/ui/gridview2.h"

#include "objectmodel/valueformat.h"
#include "platform/core/dc.h"
#include "platform/core/messagebox.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/colordlg.h"
#include "platform/ui/winapp.h"
#include "series/ui/griddlg.h"
#include "series/objdatadoc.h"

#include <QWidget>

#include <algorithm>
#include <cstdint>

namespace {

// The drawing options of object tables, bit k of "WhatToDraw" each.
constexpr const char* kDrawOptions[] = {"Centroid", "Contour", "Holes", "BoundingBox",
                                        "MainAxis", "Lines",   "Tips",  "Nodes"};
constexpr int kDrawOptionBits = (1 << std::size(kDrawOptions)) - 1;
// The object tables' draw colours in the document's order.
constexpr const char* kDrawColorNames[CObjDataDoc::kDrawColorCount] = {"Contour", "Holes", "Centroid", "Tips",
                                                                       "Nodes"};

int Scaled(int value, int numerator, int denominator)
{
    return static_cast<int>(static_cast<std::int64_t>(value) * numerator / denominator);
}

} // namespace

void CGridView2::OnConfiguration()
{
    CGridDoc2* doc = GetGridDoc();
    if (doc == nullptr)
        return;
    auto* objects = DYNAMIC_DOWNCAST(CObjDataDoc, doc);

    // The pages outlive the sheet, which lets go of them as it goes.
    CGridDlg columns;
    CGridDlg drawing;
    CColorDlg colors;
    CPropertySheet sheet("Configuration", this);
    // Nothing applies before OK.
    sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    columns.SetTitle("Columns");
    for (int c = 0; c < doc->GetColumnCount(); ++c) {
        columns.m_arrNames.Add(doc->m_Titles[c]);
        columns.m_arrSelected.Add(doc->IsColumnVisible(c) ? 1 : 0);
    }
    sheet.AddPage(&columns);
    if (objects != nullptr) {
        for (size_t k = 0; k < std::size(kDrawOptions); ++k) {
            drawing.m_arrNames.Add(kDrawOptions[k]);
            drawing.m_arrSelected.Add(static_cast<BYTE>((objects->m_nWhatToDraw >> k) & 1));
        }
        sheet.AddPage(&drawing);
        for (int i = 0; i < CObjDataDoc::kDrawColorCount; ++i) {
            colors.m_arrNames.Add(kDrawColorNames[i]);
            colors.m_arrColors.Add(i < objects->m_arrDrawColors.GetSize() ? objects->m_arrDrawColors[i] : 0);
        }
        sheet.AddPage(&colors);
    }
    if (sheet.DoModal() != IDOK)
        return;

    const int flags = static_cast<int>(std::min(doc->m_arrVisible.GetSize(), columns.m_arrSelected.GetSize()));
    for (int c = 0; c < flags; ++c)
        doc->m_arrVisible[c] = columns.m_arrSelected[c];
    if (objects != nullptr) {
        objects->m_arrDrawColors.SetSize(CObjDataDoc::kDrawColorCount);
        for (int i = 0; i < CObjDataDoc::kDrawColorCount; ++i)
            objects->m_arrDrawColors[i] = colors.GetColor(i);
        // Bits the page does not show stay as they were.
        int whatToDraw = objects->m_nWhatToDraw & ~kDrawOptionBits;
        for (int k = 0; k < drawing.m_arrSelected.GetSize() && k < static_cast<int>(std::size(kDrawOptions)); ++k) {
            if (drawing.m_arrSelected[k] != 0)
                whatToDraw |= 1 << k;
        }
        objects->m_nWhatToDraw = whatToDraw;
        objects->SaveDrawFlags();
        if (CWnd* main = AfxGetMainWnd())
            main->SendMessageToDescendants(m_nToDibViewMsg, 0, 0);
    }
    // Kept at once: the next count reads the configuration again.
    doc->SaveColumnConfig();
    doc->UpdateAllViews(nullptr, 1);
}

void CGridView2::OnEditCopy()
{
    const int columns = std::min(m_list.GetColumnCount(), static_cast<int>(m_shownTitles.size()));
    CString text;
    for (int k = 0; k < columns; ++k) {
        CString heading = m_shownTitles[static_cast<size_t>(k)];
        ReplaceUnitsTag(heading);
        text += (k > 0 ? "\t" : "") + heading;
    }
    text += "\n";
    for (int row = 0; row < m_list.GetRowCount(); ++row) {
        for (int k = 0; k < columns; ++k)
            text += (k > 0 ? "\t" : "") + m_list.GetCellText(row, k);
        text += "\n";
    }
    if (!kestrun::SetClipboardText(text))
        AfxMessageBox("Unable to set Clipboard data");
}

void CGridView2::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
    if (m_list.m_hWnd != nullptr) {
        CRect client;
        m_list.GetClientRect(&client);
        const int screenDpi = std::max(1, m_list.GetWidget()->logicalDpiX());
        const int printerDpi = pDC->GetDeviceCaps(LOGPIXELSX);
        const int saved = pDC->SaveDC();
        pDC->SetMapMode(MM_ANISOTROPIC);
        pDC->SetWindowExt(client.Width(), client.Height());
        pDC->SetViewportExt(Scaled(client.Width(), printerDpi, screenDpi),
                            Scaled(client.Height(), printerDpi, screenDpi));
        // The list paints itself into the printer's context.
        m_list.SendMessage(WM_PAINT, reinterpret_cast<WPARAM>(pDC), 0);
        pDC->RestoreDC(saved);
    }
    CView::OnPrint(pDC, pInfo);
}
