#include "analysis/kontur8.h"
#include "analysis/markmask.h"

#include "analysis/tests/tracepage.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace tracetest;

namespace {

std::string Codes(const CChain8& chain)
{
    std::string codes;
    for (const BYTE code : chain)
        codes += static_cast<char>('0' + code);
    return codes;
}

// A tracer bound to a page, its whole area and the dark threshold.
class KonturTest : public ::testing::Test
{
protected:
    void Bind(const std::vector<std::string>& picture, int bits = 8)
    {
        m_page = MakePage(picture, bits);
        m_aoi = WholePage(m_page);
        m_tracer.SetImage(&m_page, &m_aoi, &m_threshold);
        m_tracer.Size(1000);
    }

    CDIB m_page;
    CAOI2 m_aoi;
    CSegThres m_threshold = DarkThreshold();
    CKontur8 m_tracer;
};

struct ShapeCase
{
    const char* name;
    std::vector<std::string> picture;
    POINT start;
    const char* codes;
    int lastIndex;
    int borderState;
    BOOL validAfterMeasures;
    int area;
    int perimeter;
    POINT centroid;
};

const std::vector<ShapeCase>& ShapeCases()
{
    static const std::vector<ShapeCase> cases = {
        {"single pixel", {".....", ".....", "..#..", ".....", "....."}, {2, 2}, "", 1, 2, FALSE, 0, 0, {0, 0}},
        // Returns to the start, steps onto point 1 again and stops there.
        {"2x2 block", {"....", ".##.", ".##.", "...."}, {1, 1}, "0642", 4, 2, TRUE, 1, 4, {1, 1}},
        {"disc",
         {".......", "..###..", ".#####.", ".#####.", ".#####.", "..###..", "......."},
         {2, 1}, "007665443221", 12, 2, TRUE, 14, 14, {3, 3}},
        {"ring outside",
         {".........", ".#######.", ".#######.", ".##...##.", ".##...##.", ".##...##.", ".#######.", ".#######.",
          "........."},
         {1, 1}, "000000666666444444222222", 24, 2, TRUE, 36, 24, {4, 4}},
        // The object search starts a hole at the first object pixel right of
        // it; the hole runs the other way round and has a negative area.
        {"ring hole",
         {".........", ".#######.", ".#######.", ".##...##.", ".##...##.", ".##...##.", ".#######.", ".#######.",
          "........."},
         {6, 3}, "344566700122", 12, 2, TRUE, -14, 14, {4, 4}},
        // There and back: closed, but it encloses nothing.
        {"diagonal line", {"......", ".#....", "..#...", "...#..", "....#.", "......"}, {1, 1}, "777333", 6, 2, FALSE, 0, 8,
         {0, 0}},
        {"touching the left border", {"......", "##....", "##....", "......"}, {0, 1}, "0642", 4, 1, TRUE, 1, 4, {0, 1}},
        {"along the last row", {"......", "......", "..##..", "..##.."}, {2, 2}, "0642", 4, 1, TRUE, 1, 4, {2, 2}},
    };
    return cases;
}

TEST_F(KonturTest, ShapesGiveTheirChainMeasuresAndBorderState)
{
    for (const ShapeCase& shape : ShapeCases()) {
        SCOPED_TRACE(shape.name);
        Bind(shape.picture);
        m_tracer.Reset();
        m_tracer.Trace(shape.start.x, shape.start.y, FALSE, 0);

        EXPECT_TRUE(m_tracer.IsClosed());
        EXPECT_EQ(Codes(m_tracer.GetChain()), shape.codes);
        EXPECT_EQ(m_tracer.GetChain().GetStartPoint(), CPoint(shape.start));
        EXPECT_EQ(m_tracer.GetLastIndex(), shape.lastIndex);
        EXPECT_EQ(m_tracer.m_nBorderState, shape.borderState);
        EXPECT_EQ(m_tracer.TouchesBorder(m_aoi), shape.borderState == CKontur::borderTouches);
        EXPECT_EQ(m_tracer.GetMeanColor(), RGB(kObject, kObject, kObject));
        EXPECT_EQ(m_tracer.m_nMarkedPixels, 0);

        // The points walk the chain from the start and enclose the box.
        const CRPolygon& points = m_tracer.GetPoints();
        ASSERT_EQ(points.GetSize(), m_tracer.GetChain().GetSize() + 1);
        CRect box(shape.start.x, shape.start.y, shape.start.x, shape.start.y);
        for (INT_PTR i = 0; i + 1 < points.GetSize(); ++i) {
            EXPECT_EQ(CChain8::StepPoint(m_tracer.GetCode(static_cast<int>(i)), points[i].x, points[i].y), CPoint(points[i + 1]));
            box.left = std::min(box.left, points[i + 1].x);
            box.top = std::min(box.top, points[i + 1].y);
            box.right = std::max(box.right, points[i + 1].x);
            box.bottom = std::max(box.bottom, points[i + 1].y);
        }
        EXPECT_EQ(CRect(m_tracer.GetBoundingRect()), box);
        if (shape.lastIndex > 1) {
            EXPECT_EQ(CPoint(points[points.GetUpperBound()]), CPoint(shape.start));
        }

        m_tracer.CalcChainMeasures();
        EXPECT_EQ(m_tracer.IsClosed(), shape.validAfterMeasures);
        EXPECT_EQ(m_tracer.m_nArea, shape.area);
        EXPECT_EQ(m_tracer.m_nPerimeter, shape.perimeter);
        EXPECT_EQ(m_tracer.GetCentroid(), CPoint(shape.centroid));
    }
}

TEST_F(KonturTest, MarksWithUndoComeOffBitForBit)
{
    for (const int bits : {8, 24}) {
        for (const ShapeCase& shape : ShapeCases()) {
            SCOPED_TRACE(std::string(shape.name) + (bits == 8 ? " 8-bit" : " 24-bit"));
            Bind(shape.picture, bits);
            m_tracer.Trace(shape.start.x, shape.start.y, FALSE, 0);
            const std::vector<BYTE> before = PixelBytes(m_page);

            CUndoPixelArray undo;
            int count = 0;
            m_tracer.MarkColorWithUndo(kMark, undo, count);
            // Every pixel of the contour once, however often it is visited.
            std::set<std::pair<int, int>> pixels;
            for (const POINT& point : m_tracer.GetPoints())
                pixels.emplace(point.x, point.y);
            EXPECT_EQ(count, static_cast<int>(pixels.size()));
            EXPECT_EQ(undo.GetSize(), CKontur8::undoGrowth);
            EXPECT_EQ(m_page.GetPixel(shape.start.x, shape.start.y), kMark);
            m_tracer.MarkGreyWithUndo(7, undo, count);
            EXPECT_NE(PixelBytes(m_page), before);

            CKontur8::UndoMarks(m_page, undo, count);
            EXPECT_EQ(PixelBytes(m_page), before);
        }
    }
}

TEST_F(KonturTest, PaintingMarksTheContourOnly)
{
    Bind({".......", "..###..", ".#####.", ".#####.", ".#####.", "..###..", "......."});
    m_tracer.Trace(2, 1, TRUE, 0);
    for (const POINT& point : m_tracer.GetPoints())
        EXPECT_EQ(m_page.GetPixel(point.x, point.y), kMark);
    EXPECT_EQ(m_page.GetPixel(3, 3), RGB(kObject, kObject, kObject));
    EXPECT_EQ(m_page.GetPixel(0, 0), RGB(kBackground, kBackground, kBackground));

    // The grey trace paints the green byte of the mark colour into the first byte.
    Bind({".......", "..###..", ".#####.", ".#####.", ".#####.", "..###..", "......."}, 24);
    m_threshold.m_MarkColor = RGB(255, 250, 0);
    m_tracer.TraceGrey(2, 1, TRUE, 0);
    EXPECT_EQ(m_page.GetRow(1)[3 * 2], 250);
    EXPECT_EQ(m_page.GetRow(1)[3 * 2 + 1], kObject);
    EXPECT_EQ(m_page.GetRow(3)[3 * 3], kObject);
}

TEST_F(KonturTest, TestSelectorDecidesAboutMarkPixels)
{
    Bind({".....", ".#M#.", "....."}, 24);
    m_page.SetPixel(3, 1, RGB(10, 20, 30));

    // Walked over, counted as marked, kept out of the mean colour.
    m_tracer.Trace(1, 1, FALSE, 0);
    EXPECT_EQ(Codes(m_tracer.GetChain()), "0044");
    EXPECT_EQ(m_tracer.m_nMarkedPixels, 2);
    // Sums over the start, (3, 1) and the start again.
    EXPECT_EQ(m_tracer.GetMeanColor(), RGB((20 + 10 + 20) / 3, (20 + 20 + 20) / 3, (20 + 30 + 20) / 3));

    // The plain threshold test stops at the mark.
    m_tracer.m_nTestSelector = CKontur::testThresholdOnly;
    m_tracer.Trace(1, 1, FALSE, 0);
    EXPECT_EQ(m_tracer.GetLastIndex(), 1);
    EXPECT_EQ(m_tracer.GetPoints().GetSize(), 1);
    EXPECT_EQ(m_tracer.m_nMarkedPixels, 0);
}

TEST_F(KonturTest, WithAMaskTheMarksAreThereAndNotInThePage)
{
    Bind({".....", ".#M#.", "....."}, 24);
    m_page.SetPixel(3, 1, RGB(10, 20, 30));
    kestrun::CMarkMask mask;
    mask.Cover(5, 3);
    m_tracer.m_pMarkMask = &mask;

    // A pixel of the mark colour is what the threshold says: background.
    m_tracer.Trace(1, 1, FALSE, 0);
    EXPECT_EQ(m_tracer.GetLastIndex(), 1);

    // A marked pixel is walked over, whatever its colour, and kept out of
    // the mean colour.
    mask.Mark(2, 1);
    m_tracer.Trace(1, 1, FALSE, 0);
    EXPECT_EQ(Codes(m_tracer.GetChain()), "0044");
    EXPECT_EQ(m_tracer.m_nMarkedPixels, 2);
    EXPECT_EQ(m_tracer.GetMeanColor(), RGB((20 + 10 + 20) / 3, (20 + 20 + 20) / 3, (20 + 30 + 20) / 3));
    m_tracer.TraceGrey(1, 1, FALSE, 0);
    EXPECT_EQ(Codes(m_tracer.GetChain()), "0044");

    m_tracer.m_nTestSelector = CKontur::testThresholdOnly;
    m_tracer.Trace(1, 1, FALSE, 0);
    EXPECT_EQ(m_tracer.GetLastIndex(), 1);
    m_tracer.m_nTestSelector = 0;

    // Painting marks the mask; the page keeps its pixels.
    const std::vector<BYTE> before = PixelBytes(m_page);
    mask.Clear();
    mask.Mark(2, 1);
    m_tracer.Trace(1, 1, TRUE, 0);
    m_tracer.TraceGrey(1, 1, TRUE, 0);
    EXPECT_EQ(PixelBytes(m_page), before);
    EXPECT_TRUE(mask.IsMarked(1, 1));
    EXPECT_TRUE(mask.IsMarked(3, 1));
    EXPECT_FALSE(mask.IsMarked(1, 0));
}

TEST_F(KonturTest, AreaOfInterestBoundsTheTrace)
{
    Bind({"........", ".######.", ".######.", ".######.", ".######.", "........"});
    CAOI2 left(CRect(0, 0, 4, 6)); // columns 0..3
    m_tracer.SetImage(&m_page, &left, &m_threshold);
    m_tracer.Trace(1, 1, FALSE, 0);
    EXPECT_EQ(Codes(m_tracer.GetChain()), "0066644222");
    EXPECT_EQ(m_tracer.GetBoundingRect().right, 3);
    EXPECT_EQ(m_tracer.m_nBorderState, CKontur::borderTouches);

    // A shape with its own inside test: an ellipse that leaves out the corners.
    CAOIEllipse ellipse;
    ellipse.SetFromCorners(0, 0, 8, 6);
    m_tracer.SetImage(&m_page, &ellipse, &m_threshold);
    m_tracer.Trace(2, 1, FALSE, 0);
    for (const POINT& point : m_tracer.GetPoints())
        EXPECT_TRUE(ellipse.Contains(point.x, point.y));
}

TEST_F(KonturTest, SingleObjectPixelOnTheBorderTouchesIt)
{
    Bind({"#....", ".....", "....."});
    m_tracer.Trace(0, 0, FALSE, 0);
    EXPECT_EQ(m_tracer.GetLastIndex(), 1);
    EXPECT_EQ(m_tracer.m_nBorderState, CKontur::borderTouches);
}

TEST_F(KonturTest, GreyTraceFollowsTheColourTraceAndReportsTheBorder)
{
    const std::vector<std::string> frame = {"###.###", "#.....#", "#.....#", "#######"};
    Bind(frame);
    m_tracer.Trace(0, 0, FALSE, 0);
    const std::string colour = Codes(m_tracer.GetChain());
    m_tracer.TraceGrey(0, 0, FALSE, 0);
    EXPECT_EQ(Codes(m_tracer.GetChain()), colour);
    EXPECT_EQ(m_tracer.m_nBorderState, CKontur::borderTouches);
    EXPECT_EQ(m_tracer.m_CurrentColor, kObject);

    // On a 24-bit page the grey trace reads the first (blue) byte: a pixel
    // whose red and green are too bright for the colour test closes the gap
    // for the grey trace only.
    Bind(frame, 24);
    m_page.SetPixel(3, 0, RGB(200, 200, 20));
    const auto passesGap = [this] {
        for (const POINT& point : m_tracer.GetPoints()) {
            if (point.x == 3 && point.y == 0)
                return true;
        }
        return false;
    };
    m_tracer.Trace(0, 0, FALSE, 0);
    EXPECT_EQ(Codes(m_tracer.GetChain()), colour);
    EXPECT_FALSE(passesGap());
    m_tracer.TraceGrey(0, 0, FALSE, 0);
    EXPECT_TRUE(passesGap());
}

TEST_F(KonturTest, BinaryTraceUsesTheObjectValueAndTheCallersDirection)
{
    // Object pixels are 255 and the object sits in the page's corner: the
    // pixels outside the page are background.
    CDIB page;
    page.InitDIB(5, 4, 8);
    for (const POINT p : {POINT{0, 0}, POINT{1, 0}, POINT{0, 1}, POINT{1, 1}})
        page.GetRow(p.y)[static_cast<size_t>(p.x)] = 255;
    page.GetRow(3)[4] = 20; // neither object nor threshold related
    m_tracer.SetImage(&page, nullptr, nullptr);
    m_tracer.Size(100);

    int direction = 0;
    m_tracer.TraceBinary(0, 0, direction);
    EXPECT_EQ(Codes(m_tracer.GetChain()), "0642");
    EXPECT_TRUE(m_tracer.IsClosed());
    EXPECT_EQ(direction, 0); // the step back onto point 1

    m_tracer.m_BinaryValue = 20;
    direction = 4;
    m_tracer.TraceBinary(4, 3, direction);
    EXPECT_EQ(m_tracer.GetLastIndex(), 1);
    EXPECT_EQ(direction, 4);
}

TEST_F(KonturTest, TraceWithoutCapacityReportsAndLeavesNoContour)
{
    kestrun::testing::ScopedMessageBoxes boxes;
    Bind({"....", ".##.", ".##.", "...."});
    m_tracer.Trace(1, 1, FALSE, 0);
    ASSERT_TRUE(m_tracer.IsClosed());

    m_tracer.Reset(TRUE);
    EXPECT_EQ(m_tracer.GetCapacity(), 0);
    m_tracer.Trace(1, 1, FALSE, 0);
    ASSERT_EQ(boxes->Texts().size(), 1u);
    EXPECT_EQ(boxes->Texts()[0], "Kontur Trace called without resize of kontur object - call ::Size first");
    EXPECT_FALSE(m_tracer.IsClosed());
    EXPECT_EQ(m_tracer.GetPoints().GetSize(), 0);
}

TEST_F(KonturTest, StoreGrowsWithTheOutlineAndThePointLimitStopsIt)
{
    kestrun::testing::ScopedMessageBoxes boxes;
    const std::vector<std::string> disc = {".......", "..###..", ".#####.", ".#####.", ".#####.", "..###..", "......."};
    Bind(disc);
    m_tracer.Trace(2, 1, FALSE, 0);
    const std::string whole = Codes(m_tracer.GetChain());

    // Far too small a store: the outline is the same, closed, and the
    // store has room for it.
    for (const int capacity : {1, 2, 6, 12, 13}) {
        SCOPED_TRACE(capacity);
        m_tracer.Reset(TRUE);
        m_tracer.Size(capacity);
        m_tracer.Trace(2, 1, FALSE, 0);
        EXPECT_TRUE(m_tracer.IsClosed());
        EXPECT_EQ(Codes(m_tracer.GetChain()), whole);
        EXPECT_EQ(m_tracer.GetPoints().GetSize(), 13);
        EXPECT_GT(m_tracer.GetCapacity(), 12);
        m_tracer.CalcChainMeasures();
        EXPECT_EQ(m_tracer.m_nArea, 14);
    }
    EXPECT_EQ(m_tracer.m_nOverflowCount, 0);
    EXPECT_TRUE(boxes->Beeps().empty());

    m_tracer.Trace(2, 1, FALSE, 3);
    EXPECT_FALSE(m_tracer.IsClosed());
    EXPECT_EQ(m_tracer.GetLastIndex(), 3);
    // The mean of what was taken, not a colour left over from before.
    EXPECT_EQ(m_tracer.GetMeanColor(), RGB(kObject, kObject, kObject));
}

TEST_F(KonturTest, MarkCrossStaysOffThePageEdge)
{
    Bind({".....", ".....", ".....", "....."});
    const std::vector<BYTE> before = PixelBytes(m_page);
    for (const POINT p : {POINT{0, 1}, POINT{4, 1}, POINT{2, 0}, POINT{2, 3}}) {
        m_tracer.MarkCross(p.x, p.y);
        EXPECT_EQ(PixelBytes(m_page), before);
    }
    m_tracer.MarkCross(2, 1);
    for (const POINT p : {POINT{2, 1}, POINT{1, 1}, POINT{3, 1}, POINT{2, 0}, POINT{2, 2}})
        EXPECT_EQ(m_page.GetPixel(p.x, p.y), kMark);
    EXPECT_EQ(m_page.GetPixel(1, 0), RGB(kBackground, kBackground, kBackground));
}

TEST_F(KonturTest, ContoursFromPointsMeasureLikeTracedOnes)
{
    Bind({".........", ".#######.", ".#######.", ".##...##.", ".##...##.", ".##...##.", ".#######.", ".#######.",
          "........."});
    m_tracer.Trace(1, 1, FALSE, 0);
    m_tracer.CalcChainMeasures();

    CKontur8 rebuilt(m_tracer.GetPoints());
    EXPECT_EQ(Codes(rebuilt.GetChain()), Codes(m_tracer.GetChain()));
    EXPECT_EQ(rebuilt.m_nBorderState, CKontur::borderUnknown);
    rebuilt.CalcChainMeasures();
    EXPECT_TRUE(rebuilt.IsClosed());
    EXPECT_EQ(rebuilt.m_nArea, m_tracer.m_nArea);
    EXPECT_EQ(rebuilt.m_nPerimeter, m_tracer.m_nPerimeter);
    EXPECT_EQ(rebuilt.GetCentroid(), m_tracer.GetCentroid());

    // Unknown border state: the points decide.
    EXPECT_FALSE(rebuilt.TouchesBorder(m_aoi));
    CAOI2 tight(CRect(1, 1, 8, 8));
    EXPECT_TRUE(rebuilt.TouchesBorder(tight));

    CKontur8 withChain(m_tracer.GetPoints(), m_tracer.GetChain());
    withChain.CalcChainMeasures();
    EXPECT_EQ(withChain.m_nArea, 36);
}

TEST_F(KonturTest, AppendedLinesAndStepsExtendTheContour)
{
    CKontur8 contour;
    contour.AppendLine(0, 0, 3, 1);
    EXPECT_TRUE(contour.IsClosed());
    EXPECT_EQ(contour.GetLastIndex(), 3);
    ASSERT_EQ(contour.GetPoints().GetSize(), 4);
    EXPECT_EQ(CPoint(contour.GetPoint(3)), CPoint(3, 1));
    for (int i = 0; i < 3; ++i) {
        const POINT p = contour.GetPoint(i);
        EXPECT_EQ(CChain8::StepPoint(contour.GetCode(i), p.x, p.y), CPoint(contour.GetPoint(i + 1)));
    }
    contour.AppendLine(3, 1, 0, 0);
    contour.CalcChainMeasures();
    EXPECT_FALSE(contour.IsClosed()); // there and back encloses nothing

    CKontur8 stepped;
    stepped.AppendStep(0, 5, 5);
    stepped.AppendStep(6, 6, 5);
    EXPECT_EQ(stepped.GetLastIndex(), 2);
    EXPECT_EQ(Codes(stepped.GetChain()), "06");
    EXPECT_EQ(CPoint(stepped.GetPoint(1)), CPoint(6, 5));
    EXPECT_THROW(stepped.GetPoint(2), CInvalidArgException);
    EXPECT_THROW(stepped.AppendStep(-1, 0, 0), CInvalidArgException);
}

TEST_F(KonturTest, SmoothingRebuildsThePointsFromTheChain)
{
    // A square with a one-pixel notch in its top edge.
    Bind({"..........", ".###.####.", ".########.", ".########.", ".########.", ".########.", ".........."});
    m_tracer.Trace(1, 1, FALSE, 0);
    const int before = m_tracer.GetLastIndex();

    m_tracer.Smooth(0, 2); // grade 0: nothing
    EXPECT_EQ(m_tracer.GetLastIndex(), before);
    m_tracer.Smooth(3, INT_MAX); // a turn limit no contour can reach
    EXPECT_EQ(m_tracer.GetLastIndex(), before);
    ASSERT_EQ(Codes(m_tracer.GetChain()).substr(0, 4), "0071");

    m_tracer.Smooth(3, 2);
    // The notch is cut: the top edge runs straight over it again.
    const int after = m_tracer.GetLastIndex();
    ASSERT_EQ(m_tracer.GetChain().GetSize(), after);
    ASSERT_EQ(m_tracer.GetPoints().GetSize(), after + 1);
    bool overNotch = false;
    for (int i = 0; i < after; ++i) {
        const POINT p = m_tracer.GetPoint(i);
        EXPECT_EQ(CChain8::StepPoint(m_tracer.GetCode(i), p.x, p.y), CPoint(m_tracer.GetPoint(i + 1)));
        EXPECT_FALSE(p.x == 4 && p.y == 2);
        overNotch = overNotch || (p.x == 4 && p.y == 1);
    }
    EXPECT_TRUE(overNotch);
    EXPECT_EQ(CPoint(m_tracer.GetPoint(after)), CPoint(m_tracer.GetPoint(0)));
}

TEST_F(KonturTest, CalibratedAreaAndTitles)
{
    Bind({".......", "..###..", ".#####.", ".#####.", ".#####.", "..###..", "......."});
    m_tracer.Trace(2, 1, FALSE, 0);
    m_tracer.CalcChainMeasures();
    const double factor = CBaseObj::SystemCalibration.m_dFactor;
    CBaseObj::SystemCalibration.m_dFactor = 0.5;
    EXPECT_DOUBLE_EQ(m_tracer.GetArea(), 14 * 0.25);
    CBaseObj::SystemCalibration.m_dFactor = factor;

    CStringArray titles;
    m_tracer.GetPointColumnTitles(titles);
    ASSERT_EQ(titles.GetSize(), 4);
    EXPECT_EQ(titles[0], "Index");
    EXPECT_EQ(titles[3], "ChainCode");
}

TEST_F(KonturTest, UnboundTracerRaises)
{
    CKontur8 unbound;
    unbound.Size(10);
    EXPECT_THROW(unbound.Trace(0, 0, FALSE, 0), CInvalidArgException);
    EXPECT_THROW(unbound.Size(-1), CInvalidArgException);
    EXPECT_THROW(unbound.TraceRegion(POINT{1, 1}, POINT{2, 2}, 50, 50), CInvalidArgException);
}

} // namespace
