// What the matching and check tools ask of the image document: a
// comparison with a reference image, a pattern search, the edge of a
// covered part, and the border score of an area with its best position.

#include "imaging/dibdocex.h"

#include "analysis/aoidoc.h"
#include "analysis/aoipatterns.h"
#include "analysis/aoistatistics.h"
#include "analysis/bv.h"
#include "analysis/cvfilters.h"
#include "platform/core/exceptions.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>

namespace {

// Measure-code bits: colour statistics, texture values.
constexpr int kCodeColour = 2;
constexpr int kCodeTexture = 1;
// Channel 4: the channel in which the page is darkest.
constexpr int kDarkestChannel = 4;
// The covered part begins where the share of object pixels in a line
// rises above this after one at or below the low one (percent).
constexpr float kCoverageLow = 10.0f;
constexpr float kCoverageHigh = 90.0f;
// The move of FindBestPosition: to the position, kept in the image.
constexpr UINT kMoveInImage = CAOI::setPosition | CAOI::keepInImage;

std::array<double, 3> Channels(const Color_Double& colour)
{
    return {colour.red, colour.green, colour.blue};
}

double ChannelDifference(const Color_Double& page, const Color_Double& reference, int channel)
{
    const std::array<double, 3> a = Channels(page);
    const std::array<double, 3> b = Channels(reference);
    if (channel >= 0 && channel < 3)
        return std::fabs(a[static_cast<size_t>(channel)] - b[static_cast<size_t>(channel)]);
    if (channel == kDarkestChannel) {
        // Red before green before blue on ties.
        const auto darkest = static_cast<size_t>(std::min_element(a.begin(), a.end()) - a.begin());
        return std::fabs(a[darkest] - b[darkest]);
    }
    return 0.0;
}

} // namespace

double CDIBDocEx::CompareWithReference(CAOI* aoi, CDIB* reference, int code, int channel)
{
    CDIB* page = GetActiveDIB();
    if (aoi == nullptr || aoi->m_bExcluded || page == nullptr || reference == nullptr)
        return 0.0;
    Color_Double meanPage;
    Color_Double spreadPage;
    Color_Double meanReference;
    Color_Double spreadReference;
    if ((code & kCodeColour) != 0) {
        ComputeColorStatistics(*aoi, *page, meanPage, spreadPage);
        ComputeColorStatistics(*aoi, *reference, meanReference, spreadReference);
    }
    std::array<double, 4> texturePage{};
    std::array<double, 4> textureReference{};
    if ((code & kCodeTexture) != 0) {
        ComputeTexture(*aoi, *page, channel, &texturePage[0], &texturePage[1], &texturePage[2], &texturePage[3], 1);
        ComputeTexture(*aoi, *reference, channel, &textureReference[0], &textureReference[1], &textureReference[2],
                       &textureReference[3], 1);
    }
    switch (code) {
    case 17:
    case 33:
    case 49:
    case 65: {
        const auto index = static_cast<size_t>(code / 16 - 1);
        return std::fabs(texturePage[index] - textureReference[index]);
    }
    case 18:
        return ChannelDifference(meanPage, meanReference, channel);
    case 34:
        return ChannelDifference(spreadPage, spreadReference, channel);
    default:
        return 0.0;
    }
}

double CDIBDocEx::MatchPattern(const CRect& rect, CAOI* aoi, int pattern, int dx, int dy, CPoint& position)
{
    CDIB* page = GetActiveDIB();
    if (aoi == nullptr || page == nullptr || pattern < 0 || pattern >= aoi->GetPatternCount())
        return -1.0;
    POINT found{rect.left, rect.top};
    const auto start = std::chrono::steady_clock::now();
    const double value = MatchTemplate(page, aoi->GetPattern(pattern), found, dx, dy);
    const auto taken =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    position = CPoint(found);
    CString status;
    status.Format("Val: %.2lf, Pos: %d, %d, Zeit: %ld", value, position.x, position.y, static_cast<long>(taken));
    SetStatusText(status);
    return value;
}

void CDIBDocEx::FindCoverageEdge(CAOI* aoi, CPoint& edge, int direction)
{
    const CBV* engine = GetEngine();
    CDIB* page = GetActiveDIB();
    if (engine == nullptr || page == nullptr || aoi == nullptr)
        return;
    PrepareAreas();
    float low = kCoverageLow;
    float high = kCoverageHigh;
    ::FindCoverageEdge(*aoi, *page, engine->GetSettings().m_SegThres, edge, low, high, direction != 0);
    CString status;
    status.Format("Percent0: %.2lf, Percent1: %.2lf", static_cast<double>(low), static_cast<double>(high));
    SetStatusText(status);
    // A line across the whole image marks the edge in the views.
    const CRect image = GetDataDoc()->GetImageRect();
    m_arrPoints1.RemoveAll();
    if (direction == 0) {
        m_arrPoints1.Add(CPoint(edge.x, image.top));
        m_arrPoints1.Add(CPoint(edge.x, image.bottom));
    } else {
        m_arrPoints1.Add(CPoint(image.left, edge.y));
        m_arrPoints1.Add(CPoint(image.right, edge.y));
    }
}

double CDIBDocEx::GetBorderScore(CAOI* aoi)
{
    const CDIB* page = GetActiveDIB();
    if (aoi == nullptr || page == nullptr || aoi->GetPatternCount() == 0)
        return -1.0;
    Color_Double mean;
    Color_Double spread;
    if (!CompareBorderPattern(*aoi, aoi->GetPattern(0), *page, mean, spread))
        return -1.0;
    return std::max({mean.red, mean.green, mean.blue});
}

double CDIBDocEx::FindBestPosition(CAOI* aoi, int range, int step)
{
    if (step < 1)
        AfxThrowInvalidArgException();
    double best = GetBorderScore(aoi);
    if (best < 0.0)
        return best;
    PrepareAreas();
    const CRect image = GetDataDoc()->GetImageRect();
    const CPoint origin(aoi->GetLeft(), aoi->GetTop());
    const int width = aoi->GetWidth();
    const int height = aoi->GetHeight();
    CPoint bestPosition = origin;
    for (int dy = -range; dy <= range; dy += step) {
        for (int dx = -range; dx <= range; dx += step) {
            const int x = origin.x + dx;
            const int y = origin.y + dy;
            // Only places where the area lies wholly inside the image.
            if (x < image.left + 1 || y < image.top + 1 || x + width >= image.right || y + height >= image.bottom)
                continue;
            aoi->SetPosition(x, y, width, height, image.left, image.top, image.right, image.bottom, kMoveInImage);
            const double score = GetBorderScore(aoi);
            if (score >= 0.0 && score < best) {
                best = score;
                bestPosition = CPoint(x, y);
            }
        }
    }
    aoi->SetPosition(bestPosition.x, bestPosition.y, width, height, image.left, image.top, image.right, image.bottom,
                     kMoveInImage);
    return best;
}

BOOL CDIBDocEx::FindProfileStart(int direction, double threshold, double lowThreshold, CPoint& start)
{
    const CDIB* page = GetActiveDIB();
    if (page == nullptr)
        return FALSE;
    PrepareAreas();
    const CRect image = GetDataDoc() != nullptr ? GetDataDoc()->GetImageRect()
                                                : CRect(0, 0, page->GetWidth(), page->GetHeight());
    const bool vertical = direction == 0;
    const CPoint middle(image.left + image.Width() / 2, image.top + image.Height() / 2);
    const int length = vertical ? image.Width() : image.Height();
    bool wasLow = false;
    for (int k = 0; k < length; ++k) {
        const CPoint p = vertical ? CPoint(image.left + k, middle.y) : CPoint(middle.x, image.top + k);
        const COLORREF c = page->GetPixel(p.x, p.y);
        const double grey = (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3.0;
        if (wasLow && grey > threshold) {
            start = p;
            return TRUE;
        }
        wasLow = wasLow || grey < lowThreshold;
    }
    return FALSE;
}
