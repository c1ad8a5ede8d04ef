// The contour features of a record: what the pixels inside its contour
// tell (holes, nuclei, homogeneity, mean colour, inner radius), and the
// contour's own shape features (curvature peaks, deepest defect, segments).

#include "analysis/bv.h"

#include "analysis/aoiimaging.h"
#include "analysis/aoistatistics.h"
#include "analysis/cvfilters.h"
#include "analysis/objdata.h"
#include "analysis/scopedvalue.h"
#include "objectmodel/datafilter.h"

#include <cmath>
#include <utility>

namespace {

// Channel means, each truncated and held to a byte: red, green, blue.
COLORREF PackMeanColor(const Color_Double& mean)
{
    const auto channel = [](double v) { return static_cast<int>(static_cast<long long>(v) & 0xFF); };
    return RGB(channel(mean.red), channel(mean.green), channel(mean.blue));
}

// The sum of the bins from first to last, each step kept to its integer
// part.
double SumBins(const CDataArray& histogram, int first, int last)
{
    double sum = 0.0;
    for (int i = first; i <= last; ++i)
        sum = std::trunc(sum + histogram.GetAt(i));
    return sum;
}


} // namespace

bool CBV::TakesRunHoles() const
{
    const CFormThres& form = m_Profiles.m_FormThres;
    return (form.m_Type2 & 0x1) != 0 || form.TestFlagBit(featureHoleArea) || form.TestFlagBit(featureNuclei) ||
           form.TestFlagBit(featureHomogeneity) || form.TestFlagBit(featureColors);
}

void CBV::CalcContourFeatures(CDIB* image, CObjData& record, CAOI* aoi)
{
    if (image == nullptr)
        AfxThrowInvalidArgException();
    const CFormThres& form = m_Profiles.m_FormThres;
    const INT_PTR steps = record.m_Chain.GetSize();
    const bool segments = (form.m_Parameter & CFormThres::parameterSplit) != 0;
    if (segments && form.m_Model == CFormThres::modelContourSegment &&
        !form.CheckValue(static_cast<double>(steps), featureLength))
        return;

    const bool meanColor = form.TestFlagBit(featureColors);
    const bool homogeneity = form.TestFlagBit(featureHomogeneity);
    const bool nuclei = form.TestFlagBit(featureNuclei);
    const bool innerRadius = (form.m_Type2 & 0x1) != 0;
    const bool curvaturePeaks = (form.m_Parameter & 0x2) != 0;
    const bool deepestDefect = (form.m_Parameter & CFormThres::parameterConvex) != 0;
    const bool segmentation = segments || form.m_Model == CFormThres::modelEllipse;
    const bool inside = TakesRunHoles();
    // Without any of them the polygon would be built for nothing.
    if (!inside && !curvaturePeaks && !deepestDefect && !segmentation)
        return;

    const CRPolygon polygon(record.m_Chain);
    if (meanColor)
        record.m_Type |= CObjData::colColors;
    if (homogeneity)
        record.m_Type |= CObjData::colHomogeneity;
    if (inside) {
        record.m_Type |= CObjData::colHoles;
        CAOI4 area;
        if (area.SetPolygon(polygon)) {
            AddRunHoles(record, area);
            if (nuclei)
                FindNuclei(*image, record, area);
            if (homogeneity)
                record.SetHomogeneity(MeasureHomogeneity(*image, record, area));
            if (homogeneity || meanColor) {
                Color_Double mean;
                Color_Double spread;
                ComputeColorStatistics(area, *image, mean, spread);
                record.m_MeanColor = PackMeanColor(mean);
            }
            if (innerRadius)
                MeasureInnerRadius(record, area);
        }
    }
    if (curvaturePeaks)
        FindContourCurvaturePeaks(record, polygon);
    if (deepestDefect)
        FindDeepestConvexityDefect(record, polygon);
    if (segmentation)
        SegmentContour(record, polygon, aoi);
}

void CBV::FindNuclei(CDIB& image, CObjData& record, CAOI& area)
{
    const CFormThres& form = m_Profiles.m_FormThres;
    record.m_Type |= CObjData::colNuclei | CObjData::colNC;
    if (m_Kontur.GetCapacity() < 5000)
        m_Kontur.Size(5000);
    std::vector<std::unique_ptr<CObjData>> found;
    {
        // The nuclei are traced and marked like the objects of the run,
        // with marks of their own.
        const kestrun::CMarkSession marks(m_SearchMarks, m_Kontur.m_pMarkMask, image.GetWidth(), image.GetHeight());
        const CTracerBinding binding(m_Kontur, &image, &area, &m_Profiles.m_SegThres);
        // The search of one object's inside is no progress of the run.
        const kestrun::CScopedValue<IAnalysisProgress*> pause(m_pProgress, nullptr);
        CPoint position;
        area.GetFirstScanPoint(position);
        while (FindNextObject(position, &area, &m_Profiles.m_SegThres) == 1) {
            m_Kontur.CalcChainMeasures();
            if (!m_Kontur.IsClosed() || m_Kontur.m_nArea < 1)
                continue;
            auto nucleus = std::make_unique<CObjData>();
            nucleus->SetFromContour(m_Kontur);
            if (form.CheckValue(nucleus->GetArea(), featureArea) &&
                form.CheckValue(nucleus->GetFormFactor(), featureFormFactor))
                found.push_back(std::move(nucleus));
        }
    }
    for (std::unique_ptr<CObjData>& nucleus : found) {
        if (form.TestFlagBit(featureColors)) {
            CAOI4 nucleusArea;
            Color_Double mean;
            Color_Double spread;
            if (nucleusArea.SetPolygon(CRPolygon(nucleus->m_Chain)))
                ComputeColorStatistics(nucleusArea, image, mean, spread);
            nucleus->m_MeanColor = PackMeanColor(mean);
            nucleus->m_Type |= CObjData::colColors;
            nucleus->SetHomogeneity((spread.red + spread.green + spread.blue) / 3.0);
            nucleus->m_Type |= CObjData::colHomogeneity;
            if (!form.CheckValue(static_cast<DWORD>(nucleus->GetMeanColor()), featureColors))
                continue;
        }
        record.AddNucleus(std::move(nucleus));
    }
}

double CBV::MeasureHomogeneity(CDIB& image, CObjData& record, CAOI& area)
{
    CDataFilter histogram(CDataArray::typeLong);
    histogram.SetSize(256);
    ComputeGreenHistogram(area, image, histogram);
    // Every bin counts as written, so that the window reads the empty bins
    // at the top as 0 and not as the last bin that holds pixels.
    histogram.SetAtWrapped(255, histogram.GetAt(255));
    histogram.SetFilter(CDataFilter::filterMean, 5);
    double depth = 0.0;
    const int minimum = histogram.FindDeepestMinimum(depth);
    if (minimum <= 0)
        return 100.0;
    const double total = SumBins(histogram, 0, 253);
    const double low = SumBins(histogram, 0, minimum - 1);
    if (depth > 2.0)
        CollectBrightPositions(area, record.EditColorPositions(), image, minimum, 1);
    // An area whose pixels all lie in the top bins has no share to tell.
    if (total <= 0.0)
        return 100.0;
    return static_cast<float>(low / total * 100.0);
}

void CBV::MeasureInnerRadius(CObjData& record, CAOI4& area)
{
    // DistanceTransform answers positions less 2: the mask's border.
    constexpr int kMaskBorder = 2;
    CDIB mask;
    if (!CreateMask(area, &mask, nullptr, nullptr, kMaskBorder))
        return;
    double maximum = 0.0;
    const POINT at = DistanceTransform(&mask, maximum);
    record.m_dInnerRadius = maximum;
    record.m_ptLabel = CPoint(at.x + area.GetLeft(), at.y + area.GetTop());
}
