#include "imaging/areapatterncheck.h"

#include "imaging/dibdocex.h"
#include "imaging/patternmatch.h"

#include "analysis/aoidoc.h"
#include "analysis/aoiimaging.h"
#include "analysis/aoipatterns.h"

#include <algorithm>

namespace {

constexpr UINT kMoveInImage = CAOI::setPosition | CAOI::keepInImage;

} // namespace

bool CAreaPatternCheck::IsFailed(double value, double threshold, int direction)
{
    switch (direction) {
    case judgeLow:
        return value <= threshold;
    case judgeHigh:
        return value >= threshold;
    default:
        return false;
    }
}

CAreaPatternCheck::Result CAreaPatternCheck::Learn(CDIBDocEx& doc, int method)
{
    CAOIDoc* areas = doc.GetDataDoc();
    CAOI* active = areas != nullptr ? areas->GetActiveAOI(false) : nullptr;
    CDIB* page = doc.GetActiveDIB();
    if (areas == nullptr || areas->GetAOICount() == 0 || active == nullptr || page == nullptr)
        return noAreas;
    active->RemovePatterns();
    if (method != methodBorder && method != methodArea)
        return wrongMethod;
    active->AddPattern(std::make_unique<CDIB>(), 0);
    if (method == methodBorder)
        LearnBorderPattern(*active, *page, active->GetPattern(0));
    else
        CopyImageArea(*active, active->GetPattern(0), *page);
    return done;
}

CAreaPatternCheck::Result CAreaPatternCheck::Match(CDIBDocEx& doc, int method, double threshold, int direction)
{
    CAOIDoc* areas = doc.GetDataDoc();
    if (areas == nullptr || areas->GetAOICount() == 0)
        return noAreas;
    CAOI* active = areas->GetActiveAOI(false);
    if (active == nullptr || active->GetPatternCount() == 0)
        return noPattern;
    if (method == methodArea)
        MatchAreas(doc, threshold, direction);
    else if (method == methodBorder)
        MatchBorders(doc);
    return done;
}

void CAreaPatternCheck::MatchAreas(CDIBDocEx& doc, double threshold, int direction)
{
    CAOIDoc* areas = doc.GetDataDoc();
    CAOI* active = areas->GetActiveAOI(false);
    const int count = areas->GetAOICount();
    m_values.assign(static_cast<size_t>(count), 0.0);
    m_positions.assign(static_cast<size_t>(count), CPoint());
    for (int i = 0; i < count; ++i) {
        CAOI* aoi = areas->GetAOI(i);
        m_values[static_cast<size_t>(i)] =
            doc.MatchPattern(aoi->GetRect(), active, 0, kSearchMargin, kSearchMargin, m_positions[static_cast<size_t>(i)]);
    }
    doc.m_arrPoints2.RemoveAll();
    const CRect image = areas->GetImageRect();
    for (int i = 0; i < count; ++i) {
        CAOI* aoi = areas->GetAOI(i);
        if (IsFailed(m_values[static_cast<size_t>(i)], threshold, direction))
            AddFrameLines(doc.m_arrPoints2, *aoi);
        const CPoint& at = m_positions[static_cast<size_t>(i)];
        aoi->SetPosition(at.x, at.y, aoi->GetWidth(), aoi->GetHeight(), image.left, image.top, image.right,
                         image.bottom, kMoveInImage);
    }
}

void CAreaPatternCheck::MatchBorders(CDIBDocEx& doc)
{
    CAOIDoc* areas = doc.GetDataDoc();
    CAOI* active = areas->GetActiveAOI(false);
    const CDIB* pattern = active->GetPattern(0);
    const CDIB* page = doc.GetActiveDIB();
    const int count = areas->GetAOICount();
    m_values.assign(static_cast<size_t>(count), -1.0);
    m_positions.assign(static_cast<size_t>(count), CPoint());
    for (int i = 0; i < count; ++i) {
        const CAOI* aoi = areas->GetAOI(i);
        m_positions[static_cast<size_t>(i)] = CPoint(aoi->GetLeft(), aoi->GetTop());
        // An area of another height has no border to set beside the
        // pattern: it keeps -1 rather than one message per area.
        if (page == nullptr || pattern == nullptr || pattern->GetWidth() * pattern->GetHeight() != 2 * aoi->GetHeight())
            continue;
        Color_Double mean;
        Color_Double spread;
        if (CompareBorderPattern(*aoi, pattern, *page, mean, spread))
            m_values[static_cast<size_t>(i)] = std::max({mean.red, mean.green, mean.blue});
    }
    for (const auto& pass : kBorderPasses)
        doc.FindBestPosition(active, pass[0], pass[1]);
    const int index = areas->GetActiveIndex();
    if (index >= 0 && index < count)
        m_positions[static_cast<size_t>(index)] = CPoint(active->GetLeft(), active->GetTop());
}
