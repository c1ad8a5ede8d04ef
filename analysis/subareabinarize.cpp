#include "analysis/subareabinarize.h"

#include "analysis/analysisprogress.h"
#include "analysis/aoiraster.h"
#include "analysis/pageaccess.h"
#include "analysis/segthres.h"

#include <algorithm>

namespace {

constexpr COLORREF kAccepted = RGB(0, 0, 0);
constexpr COLORREF kRejected = RGB(255, 255, 255);

// Ends the display however the loop ends.
class CProgressScope
{
public:
    CProgressScope(IAnalysisProgress* progress, int cells) : m_progress(progress)
    {
        if (m_progress)
            m_progress->BeginProgress(0, cells);
    }
    ~CProgressScope()
    {
        if (m_progress)
            m_progress->EndProgress();
    }
    CProgressScope(const CProgressScope&) = delete;
    CProgressScope& operator=(const CProgressScope&) = delete;

    void Step(int done) const
    {
        if (m_progress)
            m_progress->SetProgressPos(done);
    }

private:
    IAnalysisProgress* m_progress;
};

void BinarizeRect(kestrun::CPageAccess& pixels, const CRect& cell, const CSegThres& threshold)
{
    const int left = std::max<int>(cell.left, 0);
    const int top = std::max<int>(cell.top, 0);
    const int right = std::min<int>(cell.right, pixels.GetWidth());
    const int bottom = std::min<int>(cell.bottom, pixels.GetHeight());
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            pixels.SetColor(x, y, threshold.IsObjectColor(pixels.GetColor(x, y)) ? kAccepted : kRejected);
}

} // namespace

void BinarizeSubAreas(CDIB& page, const CAOI& area, const CSegThres& threshold, IAnalysisProgress* progress)
{
    kestrun::CPageAccess pixels(page);
    const CAOIRaster* cells = area.GetRaster();
    if (cells == nullptr || cells->GetSize() == 0)
        return;
    // The threshold may change while the progress display pumps messages.
    const CSegThres thresholdCopy(threshold);
    const CProgressScope display(progress, static_cast<int>(cells->GetSize()));
    for (INT_PTR i = 0; i < cells->GetSize(); ++i) {
        BinarizeRect(pixels, (*cells)[i].GetRect(), thresholdCopy);
        display.Step(static_cast<int>(i + 1));
    }
}
