#pragma once
// CMatchListCtrl: the result list of the matching windows - one row per
// area with its number, its value and its judgement - drawn by itself: a
// selected row in the highlight colours, texts on one line with an
// ellipsis, and the judgement cell green for "OK" and red for "Failed".
// The column widths live in the window's profile section ("Width%d").

#include "platform/ui/listctrl.h"

#include <vector>

class CMatchListCtrl : public CListCtrl
{
    DECLARE_DYNAMIC(CMatchListCtrl)

public:
    static constexpr COLORREF kOKColour = RGB(0, 255, 0);
    static constexpr COLORREF kFailedColour = RGB(255, 0, 0);

    CMatchListCtrl() = default;
    ~CMatchListCtrl() override;

    // Three columns with the titles, their widths from the section.
    void CreateColumns(LPCTSTR section, LPCTSTR value, LPCTSTR judgement);
    void SaveColumnWidths(LPCTSTR section) const;
    // Rows "%d" of i + 1, "%.3lf" of the value and "OK" or "Failed".
    // One row per value; ok holds as many judgements.
    void Fill(const std::vector<double>& values, const std::vector<bool>& ok);

    // Paints one row; itemID is the row, rcItem its rectangle.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

protected:
    bool WantsPaint() const override { return true; }
    void OnPaint() override;
};
