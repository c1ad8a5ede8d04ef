#include "analysis/aoi.h"
#include "analysis/tests/aoiruns.h"
#include "analysis/aoiraster.h"
#include "analysis/segthres.h"

#include "objectmodel/textlabel.h"
#include "outside/pixmere/dib.h"
#include "platform/core/recording_dc.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

int RunCount(const CAOI& aoi, int y)
{
    int start = 0;
    int k = 0;
    while (aoi.GetRunStart(k, y, start))
        ++k;
    return k;
}

std::vector<CDCRecord> LinesOf(const CRecordingDC& dc)
{
    std::vector<CDCRecord> lines;
    for (const CDCRecord& r : dc.Records())
        if (r.op == "LineTo")
            lines.push_back(r);
    return lines;
}

} // namespace

// --- shapes ----------------------------------------------------------------------------

TEST(AOITest, RectangleFromARectOrFromCorners)
{
    const CAOI2 a(CRect(10, 10, 20, 30));
    EXPECT_EQ(a.GetType(), CAOI::typeRectangle);
    EXPECT_EQ(a.GetWidth(), 10);
    EXPECT_EQ(a.GetHeight(), 20);
    CAOI2 b;
    b.SetRectFromCorners(20, 30, 10, 10);
    EXPECT_EQ(b.GetRect(), a.GetRect());
    EXPECT_EQ(a.GetCenter(), CPoint(15, 20));
    EXPECT_EQ(a.ClampPoint(-4, 100), CPoint(10, 29));
    EXPECT_EQ(a.ClampPoint(12, 13), CPoint(12, 13));
    // The border: first and last row, first and last x of a row.
    EXPECT_TRUE(a.IsOnBorder(15, 10));
    EXPECT_TRUE(a.IsOnBorder(15, 29));
    EXPECT_TRUE(a.IsOnBorder(10, 15));
    EXPECT_TRUE(a.IsOnBorder(19, 15));
    EXPECT_FALSE(a.IsOnBorder(15, 15));
    EXPECT_EQ(a.m_nProgress, 1000);
    EXPECT_EQ(a.m_nFunction, -1);
    EXPECT_EQ(a.m_nFlag, 1);
}

TEST(AOITest, EllipseOfThreeRowsSpansTheFullWidthInTheMiddle)
{
    CAOIEllipse e;
    e.SetFromCorners(5, 5, 15, 8);
    ASSERT_EQ(e.GetOutlinePoints().GetSize(), 6);
    EXPECT_EQ(e.GetRowLeft(6), 5);
    EXPECT_EQ(e.GetRowRight(6), 14);
    // Rows outside the outline are refused, not read past its end.
    EXPECT_THROW(e.GetRowLeft(8), CInvalidArgException);
    EXPECT_THROW(e.GetRowRight(4), CInvalidArgException);
    EXPECT_FALSE(e.Contains(10, 8));
    // Too small an ellipse is empty.
    CAOIEllipse small;
    small.SetFromCorners(0, 0, 2, 10);
    EXPECT_EQ(small.GetWidth(), 0);
    EXPECT_EQ(small.GetHeight(), 0);
    EXPECT_EQ(small.GetOutlinePoints().GetSize(), 0);
}

TEST(AOITest, EllipseOfOneRowIsItsFullWidth)
{
    CAOIEllipse e;
    e.SetFromCorners(0, 0, 20, 10);
    e.SetPosition(3, 4, 9, 1, 0, 0, 100, 100, CAOI::setPosition | CAOI::setSize);
    ASSERT_EQ(e.GetHeight(), 1);
    ASSERT_EQ(e.GetOutlinePoints().GetSize(), 2);
    EXPECT_EQ(e.GetRowLeft(4), 3);
    EXPECT_EQ(e.GetRowRight(4), 11);
    EXPECT_EQ(e.GetPixelCount(), 9);
}

TEST(AOITest, RingHasTwoRunsOnlyThroughItsHole)
{
    CAOIRing ring;
    ring.SetFromCorners(10, 20, 50, 60);
    EXPECT_EQ(ring.GetRingWidth(), 4);
    EXPECT_EQ(RunCount(ring, 20), 1);
    EXPECT_EQ(RunCount(ring, 40), 2);
    EXPECT_EQ(RunCount(ring, 59), 1);
    int end = 0;
    int start = 0;
    ASSERT_TRUE(ring.GetRunEnd(0, 40, end));
    ASSERT_TRUE(ring.GetRunStart(1, 40, start));
    EXPECT_EQ(end, ring.GetInner().GetRowLeft(40));
    EXPECT_EQ(start, ring.GetInner().GetRowRight(40));
    EXPECT_FALSE(ring.GetRunStart(2, 40, start));
    // The pixel count is the outer ellipse's.
    EXPECT_EQ(ring.GetPixelCount(), ring.GetOuter().GetPixelCount());
    // A ring too small for a hole has one run everywhere.
    CAOIRing thin;
    thin.SetRingWidth(10);
    thin.SetFromCorners(0, 0, 20, 20);
    for (int y = 0; y < 20; ++y)
        EXPECT_EQ(RunCount(thin, y), 1) << y;
}

TEST(AOITest, ParallelogramScanLinesCrossItAlongTheLongerSide)
{
    CAOI3 p;
    p.SetFromPoints({10, 10}, {40, 10}, {46, 22});
    EXPECT_EQ(p.GetRect(), CRect(10, 10, 47, 23));
    // P0 is the top-left corner; the corners run clockwise.
    EXPECT_EQ(p.GetCorner(0), CPoint(10, 10));
    EXPECT_EQ(p.GetCorner(1), CPoint(40, 10));
    EXPECT_EQ(p.GetCorner(2), CPoint(46, 22));
    EXPECT_EQ(p.GetCorner(3), CPoint(16, 22));
    CPoint start;
    CPoint end;
    const int count = p.GetScanLine(0, start, end);
    EXPECT_EQ(count, 13); // pixels of the short side
    EXPECT_EQ(start, CPoint(10, 10));
    EXPECT_EQ(end, CPoint(40, 10));
    for (int n = 0; n < count; ++n) {
        p.GetScanLine(n, start, end);
        EXPECT_EQ(start.y, end.y);
        EXPECT_TRUE(p.Contains(start.x, start.y));
        EXPECT_TRUE(p.Contains(end.x, end.y));
    }
    // Given counter-clockwise, the same parallelogram.
    CAOI3 q;
    q.SetFromPoints({16, 22}, {46, 22}, {40, 10});
    EXPECT_EQ(Runs(q), Runs(p));
    EXPECT_EQ(q.GetCorner(0), CPoint(10, 10));
}

TEST(AOITest, PolygonNeedsPoints)
{
    CAOI4 p;
    EXPECT_FALSE(p.SetPolygon(CRPolygon()));
    CRPolygon triangle;
    triangle.Add(0, 0);
    triangle.Add(20, 0);
    triangle.Add(0, 20);
    ASSERT_TRUE(p.SetPolygon(triangle));
    EXPECT_EQ(p.GetRect(), CRect(0, 0, 21, 21));
    EXPECT_EQ(p.GetBottom(), 20);
    const int count = p.GetPixelCount();
    EXPECT_EQ(p.GetAreaCache(), count);
    EXPECT_TRUE(p.Contains(1, 1));
    EXPECT_FALSE(p.Contains(19, 19));
    int x = 0;
    EXPECT_FALSE(p.GetRunStart(0, 21, x));
}

TEST(AOITest, CopyFromTakesPositionAndFlagsButNotRasterOrPatterns)
{
    CAOI2 source(CRect(5, 6, 25, 36));
    source.m_nChannel = 2;
    source.m_nFunction = 0;
    source.m_nStep = 3;
    source.m_bExcluded = TRUE;
    source.m_bModified = TRUE;
    source.CreateRaster(2, 2, 0);
    auto pattern = std::make_unique<CDIB>();
    pattern->InitDIB(4, 4, 8);
    source.AddPattern(std::move(pattern), 7);

    CAOI2 copy;
    copy.CopyFrom(source);
    EXPECT_EQ(copy.GetRect(), source.GetRect());
    EXPECT_EQ(copy.m_nChannel, 2);
    EXPECT_EQ(copy.m_nFunction, 0);
    EXPECT_EQ(copy.m_nStep, 3);
    EXPECT_TRUE(copy.m_bExcluded);
    EXPECT_FALSE(copy.m_bModified);
    EXPECT_EQ(copy.GetRaster(), nullptr);
    EXPECT_EQ(copy.GetPatternCount(), 0);

    CAOIEllipse turned;
    turned.SetFromCorners(0, 0, 40, 20);
    turned.SetAngle(0.6);
    const CAOIEllipse twin(turned);
    EXPECT_EQ(Runs(twin), Runs(turned));
}

// --- position ------------------------------------------------------------------------

TEST(AOITest, FitIntoImageMovesAreasBackInside)
{
    CAOI2 outside(CRect(630, 470, 650, 490));
    EXPECT_EQ(outside.FitIntoImage(0, 0, 640, 480), 1);
    EXPECT_EQ(outside.GetRect(), CRect(619, 459, 639, 479));
    EXPECT_TRUE(outside.m_bModified);

    CAOI2 inside(CRect(10, 10, 30, 30));
    EXPECT_EQ(inside.FitIntoImage(0, 0, 640, 480), 0);
    EXPECT_EQ(inside.GetRect(), CRect(10, 10, 30, 30));
    EXPECT_FALSE(inside.m_bModified);

    // Larger than the image: it shrinks to end one pixel before the border.
    CAOI2 large(CRect(-50, -50, 800, 600));
    EXPECT_EQ(large.FitIntoImage(0, 0, 640, 480), 1);
    EXPECT_EQ(large.GetRect(), CRect(1, 1, 639, 479));

    // The raster's frame has to fit as well.
    CAOI2 framed(CRect(10, 10, 30, 30));
    framed.CreateRaster(2, 2, 15);
    EXPECT_EQ(framed.FitIntoImage(0, 0, 640, 480), 1);
    EXPECT_EQ(framed.GetRect(), CRect(16, 16, 36, 36));
    EXPECT_EQ(framed.GetRaster()->GetOuterRect(), CRect(1, 1, 51, 51));
    EXPECT_EQ(framed.GetRaster()->GetAt(0).GetLeft(), 1);
}

TEST(AOITest, FittingAnEllipseOrRingRebuildsItsRows)
{
    CAOIEllipse e;
    e.SetFromCorners(-10, -10, 70, 50);
    e.FitIntoImage(0, 0, 50, 40);
    CAOIEllipse fresh;
    fresh.SetFromCorners(e.GetLeft(), e.GetTop(), e.GetLeft() + e.GetWidth(), e.GetTop() + e.GetHeight());
    EXPECT_EQ(e.GetRect(), CRect(1, 1, 49, 39));
    EXPECT_EQ(Runs(e), Runs(fresh));
    EXPECT_EQ(e.GetAxisHeight(), 38);

    CAOIRing ring;
    ring.SetFromCorners(-10, -10, 70, 50);
    ring.FitIntoImage(0, 0, 50, 40);
    CAOIRing freshRing;
    freshRing.SetFromCorners(1, 1, 49, 39);
    EXPECT_EQ(ring.GetRect(), CRect(1, 1, 49, 39));
    EXPECT_EQ(Runs(ring), Runs(freshRing));
    EXPECT_EQ(ring.GetPixelCount(), freshRing.GetPixelCount());

    // Moved only: the same figure somewhere else.
    CAOIRing moved;
    moved.SetFromCorners(600, 440, 640, 470);
    moved.FitIntoImage(0, 0, 640, 480);
    CAOIRing there;
    there.SetFromCorners(599, 440, 639, 470);
    EXPECT_EQ(Runs(moved), Runs(there));

    // A turned ellipse keeps its angle and shrinks into the new box.
    CAOIEllipse turned;
    turned.SetFromCorners(0, 0, 120, 30);
    turned.SetAngle(0.5);
    turned.FitIntoImage(0, 0, 60, 50);
    EXPECT_EQ(turned.GetAngle(), 0.5);
    EXPECT_LE(turned.GetLeft() + turned.GetWidth(), 59);
    EXPECT_LE(turned.GetTop() + turned.GetHeight(), 49);
    EXPECT_EQ(turned.GetOutlinePoints().GetSize(), 2 * turned.GetHeight());
    EXPECT_GT(turned.GetPixelCount(), 0);
}

TEST(AOITest, SetPositionAnchorsAndSizes)
{
    CAOI2 a(CRect(0, 0, 40, 30));
    EXPECT_EQ(a.SetPosition(10, 5, 0, 0, 0, 0, 640, 480, CAOI::setPosition | CAOI::anchorCenter), 1);
    EXPECT_EQ(a.GetLeft(), 1);
    EXPECT_EQ(a.GetTop(), 1);
    EXPECT_TRUE(a.m_bModified);
    a.SetPosition(100, 100, 0, 0, 0, 0, 640, 480, CAOI::setPosition | CAOI::anchorCenter);
    EXPECT_EQ(a.GetRect(), CRect(80, 85, 120, 115));
    // The right edge lands 15 pixels right of the point.
    a.SetPosition(100, 100, 0, 0, 0, 0, 640, 480, CAOI::setPosition | CAOI::anchorRightOfPoint);
    EXPECT_EQ(a.GetRect(), CRect(75, 85, 115, 115));
    a.SetPosition(-20, 7, 50, 60, 0, 0, 640, 480, CAOI::setPosition | CAOI::setSize);
    EXPECT_EQ(a.GetRect(), CRect(-20, 7, 30, 67));
    EXPECT_EQ(a.SetPosition(-20, 7, 50, 60, 0, 0, 640, 480, CAOI::setPosition | CAOI::keepInImage), 1);
    EXPECT_EQ(a.GetRect(), CRect(1, 7, 51, 67));

    // Parallelograms, polygons and turned ellipses keep their size.
    CAOI3 p;
    p.SetFromPoints({0, 0}, {10, 0}, {15, 10});
    p.SetPosition(0, 0, 50, 50, 0, 0, 640, 480, CAOI::setSize);
    EXPECT_EQ(p.GetWidth(), 16);
    CAOIEllipse turned;
    turned.SetFromCorners(0, 0, 30, 10);
    turned.SetAngle(0.3);
    const int width = turned.GetWidth();
    turned.SetPosition(0, 0, 80, 80, 0, 0, 640, 480, CAOI::setSize);
    EXPECT_EQ(turned.GetWidth(), width);

    // A resized ellipse takes the new size as its axes.
    CAOIEllipse e;
    e.SetFromCorners(0, 0, 30, 10);
    e.SetPosition(5, 5, 21, 13, 0, 0, 640, 480, CAOI::setPosition | CAOI::setSize);
    CAOIEllipse fresh;
    fresh.SetFromCorners(5, 5, 26, 18);
    EXPECT_EQ(Runs(e), Runs(fresh));
}

TEST(AOITest, AreaWithPatternsIsNotResized)
{
    kestrun::testing::ScopedMessageBoxes boxes;
    CAOI2 a(CRect(0, 0, 40, 30));
    auto pattern = std::make_unique<CDIB>();
    pattern->InitDIB(3, 3, 24);
    a.AddPattern(std::move(pattern), 1);
    a.SetPosition(20, 20, 80, 80, 0, 0, 640, 480, CAOI::setPosition | CAOI::setSize);
    EXPECT_EQ(a.GetRect(), CRect(20, 20, 60, 50));
    ASSERT_EQ(boxes->Texts().size(), 1u);
    EXPECT_EQ(boxes->Texts()[0], CString("AOI with pattern cannot be resized"));
}

// --- raster --------------------------------------------------------------------------

TEST(AOITest, RasterCellsReachIntoTheFrame)
{
    CAOI2 a(CRect(100, 100, 160, 140));
    a.CreateRaster(3, 2, 5);
    const CAOIRaster* raster = a.GetRaster();
    ASSERT_NE(raster, nullptr);
    ASSERT_EQ(raster->GetSize(), 6);
    EXPECT_EQ(raster->GetAt(0).GetRect(), CRect(95, 95, 120, 120));
    EXPECT_EQ(raster->GetAt(1).GetRect(), CRect(121, 95, 140, 120));
    const CRect last = raster->GetAt(5).GetRect();
    EXPECT_EQ(last.right, 166);
    EXPECT_EQ(last.bottom, 146);
    EXPECT_EQ(raster->GetOuterRect(), CRect(95, 95, 165, 145));

    // Moving the area lays the cells again.
    a.SetPosition(200, 100, 0, 0, 0, 0, 640, 480, CAOI::setPosition);
    EXPECT_EQ(a.GetRaster()->GetAt(0).GetRect(), CRect(195, 95, 220, 120));

    a.CreateRaster(0, 2, 5);
    EXPECT_EQ(a.GetRaster(), nullptr);
}

// --- object search -------------------------------------------------------------------

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLight = RGB(250, 250, 250);
constexpr COLORREF kDark = RGB(20, 20, 20);

CDIB Page(int width, int height, int bits, COLORREF background = kLight)
{
    CDIB page;
    EXPECT_TRUE(page.InitDIB(width, height, bits));
    page.SetAllGray(background);
    return page;
}

// The engine's loop: every start pixel is traced and painted with the mark
// colour, so it is not found again.
template <class Find>
std::vector<CPoint> Search(CAOI& aoi, CDIB& page, const CSegThres& threshold, Find find)
{
    std::vector<CPoint> found;
    CPoint p;
    if (!aoi.GetFirstScanPoint(p))
        return found;
    int lastProgress = 0;
    for (int guard = 0; guard < 100000 && aoi.m_nProgress < 1000; ++guard) {
        if (find(aoi, page, threshold, p)) {
            found.push_back(p);
            page.SetPixel(p.x, p.y, threshold.m_MarkColor);
        }
        EXPECT_GE(aoi.m_nProgress, lastProgress);
        lastProgress = aoi.m_nProgress;
    }
    EXPECT_EQ(aoi.m_nProgress, 1000);
    return found;
}

const auto kFindNext = [](CAOI& a, CDIB& page, const CSegThres& t, CPoint& p) {
    return a.FindNextObjectPixel(page, t, p);
};
const auto kFindNextGrey = [](CAOI& a, CDIB& page, const CSegThres& t, CPoint& p) {
    return a.FindNextObjectPixelGrey(page, t, p);
};
const auto kFindAny = [](CAOI& a, CDIB& page, const CSegThres& t, CPoint& p) {
    return a.FindObjectPixel(page, t, p);
};

} // namespace

TEST(AOISearchTest, SkipsPixelsBehindMarksAndTheBottomRow)
{
    CDIB page = Page(20, 10, 24);
    const CSegThres threshold(RGB(80, 80, 80), RGB(240, 240, 240), 0);
    ASSERT_EQ(threshold.m_MarkColor, kWhite); // dark objects are marked white
    // Row 3: a mark, then an object pixel right behind it (already traced),
    // background, then a new object.
    page.SetPixel(4, 3, threshold.m_MarkColor);
    page.SetPixel(5, 3, kDark);
    page.SetPixel(8, 3, kDark);
    page.SetPixel(6, 5, kDark);
    page.SetPixel(9, 8, kDark);  // bottom row of the area
    page.SetPixel(17, 4, kDark); // the row's last pixel is not searched
    CAOI2 aoi(CRect(2, 1, 18, 9));
    EXPECT_EQ(Search(aoi, page, threshold, kFindNext), (std::vector<CPoint>{{8, 3}, {6, 5}}));

    // Without the mark rule, and with the bottom row and the last pixel.
    CDIB again = Page(20, 10, 24);
    again.SetPixel(4, 3, threshold.m_MarkColor);
    again.SetPixel(5, 3, kDark);
    again.SetPixel(9, 8, kDark);
    again.SetPixel(17, 4, kDark);
    EXPECT_EQ(Search(aoi, again, threshold, kFindAny), (std::vector<CPoint>{{5, 3}, {17, 4}, {9, 8}}));
}

TEST(AOISearchTest, GreyPagesAndSteps)
{
    CDIB page = Page(30, 20, 8);
    const CSegThres threshold(RGB(80, 80, 80), RGB(240, 240, 240), 0);
    page.SetPixel(4, 4, kDark);
    page.SetPixel(5, 4, kDark);
    page.SetPixel(3, 6, threshold.m_MarkColor);
    page.SetPixel(4, 6, kDark);
    page.SetPixel(6, 6, kDark);
    CAOI2 aoi(CRect(1, 1, 29, 19));
    EXPECT_EQ(Search(aoi, page, threshold, kFindNextGrey), (std::vector<CPoint>{{4, 4}, {6, 6}}));

    // Step 2: only even columns and rows are looked at.
    CDIB stepped = Page(30, 20, 8);
    stepped.SetPixel(5, 4, kDark);
    stepped.SetPixel(6, 4, kDark);
    stepped.SetPixel(8, 5, kDark);
    CAOI2 sparse(CRect(1, 1, 29, 19));
    sparse.m_nStep = 2;
    CPoint first;
    ASSERT_TRUE(sparse.GetFirstScanPoint(first));
    EXPECT_EQ(first, CPoint(2, 2));
    EXPECT_EQ(Search(sparse, stepped, threshold, kFindNextGrey), (std::vector<CPoint>{{6, 4}}));
}

TEST(AOISearchTest, AreaOverTheImageEdgeFindsOnlyImagePixels)
{
    // Outside the page there is nothing to find, not even where pixels
    // would read as black.
    const CSegThres threshold(RGB(80, 80, 80), RGB(240, 240, 240), 0);
    for (int bits : {24, 8}) {
        CDIB page = Page(20, 10, bits);
        page.SetPixel(0, 2, kDark);
        page.SetPixel(19, 9, kDark);
        CAOIEllipse aoi;
        aoi.SetFromCorners(-15, -6, 25, 16);
        EXPECT_EQ(Search(aoi, page, threshold, kFindNext), (std::vector<CPoint>{{0, 2}, {19, 9}})) << bits;
        if (bits == 8) {
            CDIB grey = Page(20, 10, bits);
            grey.SetPixel(0, 2, kDark);
            EXPECT_EQ(Search(aoi, grey, threshold, kFindNextGrey), (std::vector<CPoint>{{0, 2}}));
        }
        CDIB any = Page(20, 10, bits);
        any.SetPixel(0, 2, kDark);
        EXPECT_EQ(Search(aoi, any, threshold, kFindAny), (std::vector<CPoint>{{0, 2}})) << bits;
    }
}

TEST(AOISearchTest, EmptyOrFlatAreasEndAtOnce)
{
    CAOI2 flat(CRect(0, 0, 10, 1));
    CPoint p;
    EXPECT_FALSE(flat.GetFirstScanPoint(p));
    EXPECT_EQ(flat.m_nProgress, 1000);
    CDIB page = Page(10, 10, 24);
    EXPECT_EQ(flat.FindNextObjectPixel(page, CSegThres(), p), 0);
    CAOIEllipse empty;
    EXPECT_FALSE(empty.GetFirstScanPoint(p));
}

// --- drawing -------------------------------------------------------------------------

TEST(AOIDrawTest, RectangleOutlineStopsOneScreenPixelInside)
{
    CRecordingDC dc;
    const CAOI2 a(CRect(10, 20, 50, 40));
    a.Draw(&dc);
    std::vector<CDCRecord> lines = LinesOf(dc);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].args, (std::vector<int>{49, 20}));
    EXPECT_EQ(lines[1].args, (std::vector<int>{49, 39}));
    EXPECT_EQ(lines[3].args, (std::vector<int>{10, 20}));

    // Zoomed out by two: one screen pixel is two image pixels.
    CRecordingDC zoomed;
    zoomed.SetMapMode(MM_ANISOTROPIC);
    zoomed.SetWindowExt(2, 2);
    zoomed.SetViewportExt(1, 1);
    CPen* before = zoomed.GetCurrentPen();
    a.DrawColored(&zoomed, RGB(0, 255, 0));
    lines = LinesOf(zoomed);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1].args, (std::vector<int>{48, 38}));
    EXPECT_EQ(lines[0].pen.lopnColor, RGB(0, 255, 0));
    // The context's pen is what it was before.
    EXPECT_EQ(zoomed.GetCurrentPen(), before);
}

TEST(AOIDrawTest, RasterLinesAndDottedFrame)
{
    CRecordingDC dc;
    CAOI2 a(CRect(100, 100, 160, 140));
    a.CreateRaster(3, 2, 5);
    a.Draw(&dc);
    const std::vector<CDCRecord> lines = LinesOf(dc);
    // Outline 4, grid 1 + 2, frame 4, ticks 2 + 4.
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[4].args, (std::vector<int>{160, 120}));
    EXPECT_EQ(lines[5].args, (std::vector<int>{120, 140}));
    EXPECT_EQ(lines[7].pen.lopnStyle, static_cast<UINT>(PS_DOT));
    EXPECT_EQ(lines[7].pen.lopnColor, 0x0064FFu);
    EXPECT_EQ(lines[7].args, (std::vector<int>{165, 95}));
    EXPECT_NE(lines[16].pen.lopnStyle, static_cast<UINT>(PS_NULL));
}

TEST(AOIDrawTest, ShapesDrawTheirOwnOutlines)
{
    CRecordingDC dc;
    CAOI3 p;
    p.SetFromPoints({10, 10}, {40, 10}, {46, 22});
    p.Draw(&dc);
    std::vector<CDCRecord> lines = LinesOf(dc);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3].args, (std::vector<int>{10, 10}));

    dc.Clear();
    CAOIEllipse e;
    e.SetFromCorners(0, 0, 20, 10);
    e.Draw(&dc);
    lines = LinesOf(dc);
    ASSERT_EQ(lines.size(), 19u); // 9 down the left side, 10 up the right
    EXPECT_EQ(lines.back().args, (std::vector<int>{e.GetRowRight(0), 0}));

    dc.Clear();
    CAOIRing r;
    r.SetFromCorners(0, 0, 30, 30);
    r.Draw(&dc);
    EXPECT_EQ(LinesOf(dc).size(), (29u + 30u) + (21u + 22u)); // outer 30 rows, inner 22
}

TEST(AOIDrawTest, LabelSitsAboveTheCornerInScreenPixels)
{
    CTextLabel label("3");
    const CAOI2 a(CRect(100, 60, 150, 90));
    CRecordingDC dc;
    a.DrawLabel(&dc, label);
    ASSERT_FALSE(dc.Records().empty());
    EXPECT_EQ(dc.Records().back().op, CString("TextOut"));
    EXPECT_EQ(dc.Records().back().args, (std::vector<int>{90, 50}));
    EXPECT_EQ(dc.Records().back().text, CString("3"));

    CRecordingDC zoomed;
    zoomed.SetMapMode(MM_ANISOTROPIC);
    zoomed.SetWindowExt(2, 2);
    zoomed.SetViewportExt(1, 1);
    a.DrawLabel(&zoomed, label);
    EXPECT_EQ(zoomed.Records().back().args, (std::vector<int>{40, 20}));
    EXPECT_EQ(zoomed.GetMapMode(), MM_ANISOTROPIC);
}

TEST(AOIDrawTest, RectangleIsWrittenOnePixelOutsideIntoTheImage)
{
    CDIB page = Page(40, 30, 24);
    const CAOI2 a(CRect(5, 5, 15, 10));
    a.DrawIntoImage(page, RGB(255, 0, 0));
    EXPECT_EQ(page.GetPixel(4, 4), RGB(255, 0, 0));
    EXPECT_EQ(page.GetPixel(15, 10), RGB(255, 0, 0));
    EXPECT_EQ(page.GetPixel(5, 5), kLight);
    // Touching the image border: nothing is drawn.
    CDIB untouched = Page(40, 30, 24);
    CAOI2(CRect(0, 5, 10, 10)).DrawIntoImage(untouched, RGB(255, 0, 0));
    CAOI2(CRect(5, 5, 40, 10)).DrawIntoImage(untouched, RGB(255, 0, 0));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(untouched.GetPixel(x, y), kLight);

    CDIB ellipsePage = Page(40, 30, 24);
    CAOIEllipse e;
    e.SetFromCorners(5, 5, 25, 20);
    e.DrawIntoImage(ellipsePage, RGB(0, 0, 255));
    EXPECT_EQ(ellipsePage.GetPixel(e.GetRowLeft(10), 10), RGB(0, 0, 255));
    EXPECT_EQ(ellipsePage.GetPixel(e.GetRowRight(10), 10), RGB(0, 0, 255));
    EXPECT_EQ(ellipsePage.GetPixel(15, 12), kLight);
}
