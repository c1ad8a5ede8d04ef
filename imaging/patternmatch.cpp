#include "imaging/patternmatch.h"

#include "imaging/dibdocex.h"

#include "analysis/aoidoc.h"
#include "analysis/aoiimaging.h"
#include "analysis/aoipatterns.h"
#include "analysis/aoiraster.h"

#include <cmath>

namespace {

// The comparison: spreads of one channel; the channel in which the page
// varies least.
constexpr int kCompareSpread = 34;
constexpr int kLeastVaryingChannel = 4;
// A value that tells an area could not be compared.
constexpr double kNoValue = -1.0;
constexpr UINT kMoveInImage = CAOI::setPosition | CAOI::keepInImage;

} // namespace

CPatternMatch::sAreas CPatternMatch::CollectAreas(CAOIDoc* aoiDoc)
{
    sAreas result;
    if (aoiDoc == nullptr)
        return result;
    result.active = aoiDoc->GetActiveAOI(false);
    CAOIRaster* raster = result.active != nullptr ? result.active->GetRaster() : nullptr;
    if (raster != nullptr && raster->GetSize() > 0) {
        result.rows = raster->GetRows();
        result.columns = raster->GetColumns();
        for (INT_PTR i = 0; i < raster->GetSize(); ++i)
            result.areas.push_back(&raster->ElementAt(i));
        return result;
    }
    for (int i = 0; i < aoiDoc->GetAOICount(); ++i)
        result.areas.push_back(aoiDoc->GetAOI(i));
    return result;
}

double CPatternMatch::Limit(int index, int rows, int columns, float lower, float upper)
{
    if (rows <= 0 || columns <= 0)
        return lower;
    // The row of a cell counts by the raster's columns: a raster that is
    // not square keeps each row's cells under one limit.
    const int row = index / columns;
    return upper - ((static_cast<double>(upper) - lower) / rows) * row;
}

bool CPatternMatch::IsOK(double value, double limit, bool raster)
{
    return (raster || value != kNoValue) && value < limit;
}

bool CPatternMatch::IsFramed(double value, double limit, bool raster)
{
    return (raster || value != kNoValue) && value > limit;
}

bool CPatternMatch::IsOK(int index) const
{
    return index >= 0 && index < GetAreaCount() &&
           IsOK(m_values[static_cast<size_t>(index)], GetLimit(index), m_nRows > 0);
}

bool CPatternMatch::IsFramed(int index) const
{
    return index >= 0 && index < GetAreaCount() &&
           IsFramed(m_values[static_cast<size_t>(index)], GetLimit(index), m_nRows > 0);
}

bool CPatternMatch::Learn(CDIBDocEx& doc)
{
    const sAreas areas = CollectAreas(doc.GetDataDoc());
    CDIB* page = doc.GetActiveDIB();
    if (areas.areas.empty() || areas.active == nullptr || page == nullptr)
        return false;
    if (areas.active->GetPatternCount() == 0)
        areas.active->AddPattern(std::make_unique<CDIB>(), 0);
    return CopyImageArea(*areas.active, areas.active->GetPattern(0), *page) != FALSE;
}

void CPatternMatch::Run(CDIBDocEx& doc)
{
    doc.RunImageFilter();
    doc.m_arrPoints2.RemoveAll();
    const sAreas areas = CollectAreas(doc.GetDataDoc());
    m_nRows = areas.rows;
    m_nColumns = areas.columns;
    m_values.assign(areas.areas.size(), 0.0);

    CDIB* page = doc.GetActiveDIB();
    if (page != nullptr && !areas.areas.empty()) {
        // The reference: the page, with the learned pattern in the active area.
        const cv::Mat pixels = page->GetMat();
        // Colour pages of the same size reuse the reference; grey pages
        // take their palette along each time.
        if (page->GetBitCount() == 24 && m_reference.GetBitCount() == 24 &&
            m_reference.GetWidth() == page->GetWidth() && m_reference.GetHeight() == page->GetHeight()) {
            cv::Mat target = m_reference.GetMat();
            pixels.copyTo(target);
        } else {
            m_reference = *page;
        }
        CAOI* active = areas.active;
        if (active != nullptr && active->GetPatternCount() > 0) {
            // A pattern of another size would be read outside itself.
            const CDIB* pattern = active->GetPattern(0);
            if (pattern != nullptr && pattern->GetWidth() == active->GetWidth() &&
                pattern->GetHeight() == active->GetHeight())
                WritePattern(*active, *pattern);
        }
        for (size_t i = 0; i < areas.areas.size(); ++i) {
            const double value =
                doc.CompareWithReference(areas.areas[i], &m_reference, kCompareSpread, kLeastVaryingChannel);
            m_statistics.AddValue(value, 1);
            m_values[i] = value;
        }
        for (size_t i = 0; i < areas.areas.size(); ++i)
            if (IsFramed(static_cast<int>(i)))
                AddFrameLines(doc.m_arrPoints2, *areas.areas[i]);
    }
    ++m_nRuns;
    m_statistics.Finish();
}

void CPatternMatch::WritePattern(const CAOI& active, const CDIB& pattern)
{
    // A rectangle inside the page takes the pattern's rows at once.
    const CRect rect = active.GetRect();
    const CRect page(0, 0, m_reference.GetWidth(), m_reference.GetHeight());
    if (active.GetType() == CAOI::typeRectangle && pattern.GetBitCount() == m_reference.GetBitCount() &&
        rect.left >= 0 && rect.top >= 0 && rect.right <= page.right && rect.bottom <= page.bottom) {
        cv::Mat target = m_reference.GetMat()(cv::Rect(rect.left, rect.top, rect.Width(), rect.Height()));
        pattern.GetMat().copyTo(target);
        return;
    }
    PastePattern(active, &pattern, m_reference);
}

void CPatternMatch::LearnProfile(CDIBDocEx& doc)
{
    CAOIDoc* aoiDoc = doc.GetDataDoc();
    CDIB* page = doc.GetActiveDIB();
    if (aoiDoc == nullptr || page == nullptr)
        return;
    const bool vertical = m_nSearchDirection == 0;
    if (!m_bPatternSearch) {
        doc.FindProfileStart(m_nSearchDirection, static_cast<double>(m_nProfileStart),
                             static_cast<double>(m_nProfileStart / 3), m_foundStart);
    } else {
        const CRect image = aoiDoc->GetImageRect();
        if (vertical)
            m_foundStart.x = m_nProfilePosition;
        else
            m_foundStart.y = m_nProfilePosition;
        const int length = vertical ? image.Height() : image.Width();
        if (length > 0 && m_profile.InitDIB(length, 1, page->GetBitCount() == 8 ? 8 : 24)) {
            for (int k = 0; k < length; ++k) {
                const COLORREF c = vertical ? page->GetPixel(m_foundStart.x, image.top + k)
                                            : page->GetPixel(image.left + k, m_foundStart.y);
                m_profile.SetPixel(k, 0, c);
            }
        }
        doc.m_arrPoints2.RemoveAll();
        if (vertical) {
            doc.m_arrPoints2.Add(CPoint(m_foundStart.x, image.top));
            doc.m_arrPoints2.Add(CPoint(m_foundStart.x, image.top + image.Height() - 1));
        } else {
            doc.m_arrPoints2.Add(CPoint(image.left, m_foundStart.y));
            doc.m_arrPoints2.Add(CPoint(image.left + image.Width() - 1, m_foundStart.y));
        }
    }
    const sAreas areas = CollectAreas(aoiDoc);
    m_savedPositions.clear();
    for (const CAOI* aoi : areas.areas)
        m_savedPositions.emplace_back(aoi->GetLeft(), aoi->GetTop());
}

void CPatternMatch::MoveBack(CDIBDocEx& doc)
{
    CAOIDoc* aoiDoc = doc.GetDataDoc();
    if (aoiDoc == nullptr)
        return;
    const CRect image = aoiDoc->GetImageRect();
    const sAreas areas = CollectAreas(aoiDoc);
    const size_t count = std::min(areas.areas.size(), m_savedPositions.size());
    for (size_t i = 0; i < count; ++i) {
        CAOI* aoi = areas.areas[i];
        aoi->SetPosition(m_savedPositions[i].x, m_savedPositions[i].y, aoi->GetWidth(), aoi->GetHeight(), image.left,
                         image.top, image.right, image.bottom, kMoveInImage);
        aoi->m_bExcluded = FALSE;
    }
}

void CPatternMatch::ResetStatistics()
{
    m_statistics.Reset();
    m_statistics.Finish();
    m_nRuns = 0;
}

CString CPatternMatch::GetStatusText() const
{
    const bool any = m_statistics.GetCount() > 0;
    const double variance = m_statistics.GetVariance();
    const double deviation = variance > 0.0 ? std::sqrt(variance) : 0.0;
    const double minimum = any ? m_statistics.GetMin() : 0.0;
    const double maximum = any ? m_statistics.GetMax() : 0.0;
    CString text;
    text.Format("n:%d  mean:%lf  stddev:%lf  min:%lf  max:%lf  rng:%lf", m_nRuns, m_statistics.GetMean(), deviation,
                minimum, maximum, any ? std::fabs(maximum - minimum) : 0.0);
    return text;
}

void AddFrameLines(CArray<CPoint, CPoint>& lines, const CAOI& aoi)
{
    const CPoint leftTop(aoi.GetLeft(), aoi.GetTop());
    const CPoint rightTop(aoi.GetRight(), aoi.GetTop());
    const CPoint rightBottom(aoi.GetRight(), aoi.GetBottom());
    const CPoint leftBottom(aoi.GetLeft(), aoi.GetBottom());
    const CPoint corners[] = {leftTop, rightTop, rightTop, rightBottom, rightBottom, leftBottom, leftBottom, leftTop};
    for (const CPoint& p : corners)
        lines.Add(p);
}
