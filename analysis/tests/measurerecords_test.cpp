// The further result records: their columns, their stored form, the
// ellipse fit, the area statistics' colour classes and the edge lines.

#include "analysis/aoi.h"
#include "analysis/aoistat.h"
#include "analysis/objedge.h"
#include "analysis/objellipse.h"
#include "analysis/objsegments.h"
#include "analysis/segthres.h"
#include "testimages.h"
#include "objectmodel/textlabel.h"
#include "objectmodel/valueformat.h"
#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/exceptions.h"
#include "platform/core/file.h"
#include "platform/core/recording_dc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

std::vector<std::string> RecordTitles(CBaseObj& record)
{
    CStringArray titles;
    record.GetColumnTitles(titles, 0);
    std::vector<std::string> out;
    for (const CString& t : titles)
        out.push_back(t.GetString());
    return out;
}

std::vector<std::string> RecordValues(CBaseObj& record, size_t count)
{
    std::vector<std::string> out;
    for (size_t c = 0; c < count; ++c)
        out.push_back(record.GetColumnValues(static_cast<int>(c)).GetString());
    return out;
}

std::string StoreRecords(const std::vector<CObject*>& records)
{
    CMemFile stream;
    CXMLArchive xml("records.xml", CArchive::store, &stream);
    xml.GetChildNode("Objects");
    for (CObject* record : records)
        record->Serialize(xml);
    xml.GetCurrentNode()->EndNode();
    xml.Close();
    return std::string(stream.Data().begin(), stream.Data().end());
}

void LoadRecord(const std::string& text, CObject& record)
{
    CMemFile stream;
    stream.Write(text.data(), static_cast<UINT>(text.size()));
    CXMLArchive xml("records.xml", CArchive::load, &stream);
    ASSERT_NE(xml.GetChildNode("Objects"), nullptr);
    record.Serialize(xml);
}

std::unique_ptr<CKonturSegment> FilledSegment()
{
    auto segment = std::make_unique<CKonturSegment>();
    segment->m_nType = 5;
    segment->m_nLength = 25;
    segment->m_dStartAngle = 0.5;
    segment->m_dEndAngle = 1.0;
    segment->m_dChordAngle = -0.5;
    segment->m_dOpenAngle = 1.5707963705062866;
    segment->m_nChordLength = 12;
    segment->m_dMeanCurvature = 0.25;
    segment->m_dRoughness = 1.5;
    segment->m_Contour.Add(1, 2);
    segment->m_Contour.Add(5, 9);
    segment->m_Contour.Add(3, 4);
    segment->m_Curvature.SetSize(3);
    for (int i = 0; i < 3; ++i)
        segment->m_Curvature.SetAtWrapped(i, 3.0 + 2 * i);
    segment->m_nMaxPos = 1;
    return segment;
}

TEST(MeasureRecordsTest, ColumnTitlesAndValues)
{
    auto segment = FilledSegment();
    CKonturSegment straightSegment;

    CEdgeObj edge;
    auto ray = std::make_unique<CRPolygon>();
    ray->Add(1, 1);
    ray->m_nShapeType = CRPolygon::shapeCorner;
    edge.AddRay(std::move(ray), 0.0);
    edge.AddRay(std::make_unique<CRPolygon>(), 0.0);
    edge.m_arrFoundPoints.Add(POINT{3, 3});
    edge.m_dUpperAngle = -0.2;

    CEllipsenObj ellipse;
    ellipse.m_nArea = 314;
    ellipse.m_dAxis1 = 12.0;
    ellipse.m_dAxis2 = 8.0;
    ellipse.m_dFitQuality = 0.12345;
    ellipse.m_MeanColor = RGB(10, 20, 30);
    ellipse.m_strClassName = "Round";

    CCurvatureObj curvature;
    curvature.m_nLength = 40;
    curvature.m_arrEnds.Add(POINT{1, 1});
    curvature.m_arrEnds.Add(POINT{9, 1});
    curvature.m_fCurvature = 0.5f;

    CAOIStat area;
    area.SetTotals(200, RGB(100, 150, 200), 50, 25);
    CDefect defect;
    defect.SetDefect(4, 5, 9.5);
    CFrequencyData frequency("a.bmp", 2.5);

    struct Row
    {
        CBaseObj* record;
        std::vector<std::string> titles;
        std::vector<std::string> values;
    };
    const Row rows[] = {
        {segment.get(),
         {"Index", "Length", "Angle Range", "Sehne", "Angle Open", "Length", "RectSize", "Type", "CurvMax", "CurvMean",
          "Roughness"},
         {"0", FormatColumnValue(25.0).GetString(), "28-57", "-28", "90", "12", "4,7", "Concav", "5.000000", "0.250000",
          "1.500000"}},
        {&straightSegment, {}, {"0", FormatColumnValue(0.0).GetString(), "0-0", "0", "0", "0", "0,0", "Straight", "", "0.000000", "0.000000"}},
        {&edge, {"Index", "Punkte", "Gefundene Punkte", "Gültige Segmente", "Winkel Oberkante"}, {"0", "2", "1", "1", "-11°"}},
        {&ellipse,
         {"Index", "Area[Units]", "Form", "Fit Quality", "Segments", "Red", "Green", "Blue", "Class"},
         {"0", "314.000", "1.50", "0.1235", "0", "10", "20", "30", "Round"}},
        {&curvature, {"Index", "Length", "Ends", "Curvature"}, {"0", "40", "2", "0.500000"}},
        {&area,
         {"Index", "Class", "ROI Area[Units]", "Red ", "Green", "Blue", "Homogenity", "Object", "Bright(R)", "Bright(G)",
          "Bright(B)"},
         {"0", "---", "200.00", "100", "150", "200", "1.00", "25%", "100", "150", "200"}},
        {&defect, {"Index", "PosX", "PosY", "Intensity"}, {"", "", "", ""}},
        {&frequency, {"Index", "Filename", "Frequency"}, {"", "", ""}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.record->GetRuntimeClass()->m_lpszClassName);
        if (!row.titles.empty()) {
            EXPECT_EQ(RecordTitles(*row.record), row.titles);
        }
        EXPECT_EQ(RecordValues(*row.record, row.values.size()), row.values);
    }
    // The kinds the table tells the records apart by.
    EXPECT_EQ((std::vector<int>{segment->m_ID, edge.m_ID, ellipse.m_ID, curvature.m_ID, area.m_ID, defect.m_ID,
                                frequency.m_ID}),
              (std::vector<int>{12, 15, 13, 14, 2, 6, 10}));
    EXPECT_EQ(ellipse.m_Type, 0x70Cu);
}

TEST(MeasureRecordsTest, AngleAndPointHelpers)
{
    // Whole degrees truncate towards zero; the frame of RotatePoint has y up.
    EXPECT_EQ(WholeDegrees(3.1415927410125732), 180);
    EXPECT_EQ(WholeDegrees(-0.01), 0);
    EXPECT_EQ(RotatePoint(10, 10, 20, 10, std::numbers::pi / 2), CPoint(10, 0));
    EXPECT_EQ(RotatePoint(10, 10, 10, 0, std::numbers::pi / 2), CPoint(0, 10));

    CKonturSegment a;
    CKonturSegment b;
    a.m_dStartAngle = 1.0;
    a.m_dEndAngle = 2.0;
    b.m_dStartAngle = 0.995; // inside the 1 % margin
    b.m_dEndAngle = 2.01;
    EXPECT_EQ(a.IsInAngleRange(b), 1);
    EXPECT_EQ(a.IsInAngleRange(a), 0);
    b.m_dEndAngle = 2.1;
    EXPECT_EQ(a.IsInAngleRange(b), 0);
    // A wrapping range: 5.5 .. 0.5.
    a.m_dStartAngle = 5.5;
    a.m_dEndAngle = 0.5;
    b.m_dStartAngle = 5.8;
    b.m_dEndAngle = 0.2;
    EXPECT_EQ(a.IsInAngleRange(b), 1);
    b.m_dStartAngle = 3.0;
    EXPECT_EQ(a.IsInAngleRange(b), 0);

    EXPECT_EQ(a.IsNear(b, 100.0), 0); // no reference points
    a.m_ptRef = CPoint(3, 4);
    b.m_ptRef = CPoint(6, 8);
    EXPECT_EQ(a.IsNear(b, 5.01), 1);
    EXPECT_EQ(a.IsNear(b, 5.0), 0);
    EXPECT_EQ(a.GetPoint(3), CPoint(0, 0));
}

TEST(MeasureRecordsTest, ItemsAreStoredInsideTheRecordAndReadBack)
{
    CBaseObj::SystemCalibration = CCalibration();
    auto segment = FilledSegment();
    CEllipsenObj ellipse;
    for (int k = 0; k < 12; ++k) {
        const double t = k * std::numbers::pi / 6;
        ellipse.AddPoint(POINT{50 + static_cast<int>(std::lround(20 * std::cos(t))),
                               40 + static_cast<int>(std::lround(10 * std::sin(t)))});
    }
    ellipse.m_MeanColor = RGB(1, 2, 3);
    ellipse.m_Rect = CRect(-5, 6, 70, 80);
    ellipse.m_Color = Color_Double(1.25, 2.5, 3.75);
    CAOIStat area;
    area.SetTotals(4000000000u, 0, 123, 7);
    area.m_dHomogeneity = 0.75;

    const std::string text = StoreRecords({segment.get(), &ellipse, &area});
    // No bytes of another archive follow the elements: items live inside.
    EXPECT_NE(text.find("<CKonturSegment><CBaseObj><m_ID>12</m_ID>"), std::string::npos) << text;
    EXPECT_NE(text.find("</CBaseObj><m_nType>5</m_nType><m_dStartAngle>0.5</m_dStartAngle><m_dEndAngle>1</m_dEndAngle>"
                        "<m_dChordAngle>-0.5</m_dChordAngle>"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("<m_Contour>1,2 5,9 3,4</m_Contour></CKonturSegment><CEllipsenObj>"), std::string::npos) << text;
    EXPECT_NE(text.find("<m_nPixels>4000000000</m_nPixels><m_nObjectPixels>123</m_nObjectPixels>"), std::string::npos);
    EXPECT_NE(text.rfind("</CAOIStat></Objects>"), std::string::npos);

    // Stored points replace those of the record, also when as many.
    CKonturSegment loadedSegment;
    for (POINT p : {POINT{7, 7}, POINT{8, 8}, POINT{9, 9}})
        loadedSegment.m_Contour.Add(p);
    LoadRecord(text, loadedSegment);
    EXPECT_EQ(loadedSegment.m_nType, 5);
    EXPECT_EQ(loadedSegment.m_dStartAngle, 0.5);
    EXPECT_EQ(loadedSegment.m_dEndAngle, 1.0);
    EXPECT_EQ(loadedSegment.m_dChordAngle, -0.5);
    EXPECT_EQ(loadedSegment.m_dOpenAngle, segment->m_dOpenAngle);
    ASSERT_EQ(loadedSegment.m_Contour.GetSize(), 3);
    EXPECT_EQ(CPoint(loadedSegment.m_Contour[1]), CPoint(5, 9));
    EXPECT_EQ(loadedSegment.m_Contour.GetBoundingRect(), CRect(1, 2, 5, 9));

    // The ellipse comes back fitted from its points.
    ASSERT_TRUE(ellipse.FitEllipse() == 1 && ellipse.IsFitted());
    CEllipsenObj loadedEllipse;
    LoadRecord(text, loadedEllipse);
    EXPECT_EQ(loadedEllipse.m_MeanColor, RGB(1, 2, 3));
    EXPECT_EQ(loadedEllipse.m_Rect, CRect(-5, 6, 70, 80));
    EXPECT_EQ(loadedEllipse.m_Color.blue, 3.75);
    EXPECT_EQ(loadedEllipse.m_arrPoints.GetSize(), 12);
    ASSERT_TRUE(loadedEllipse.IsFitted());
    EXPECT_NEAR(loadedEllipse.m_dAxis1, 20.0, 0.5);
    EXPECT_NEAR(loadedEllipse.m_dAxis2, 10.0, 0.5);
    EXPECT_EQ(loadedEllipse.m_nArea, ellipse.m_nArea);

    CAOIStat loadedArea;
    LoadRecord(text, loadedArea);
    EXPECT_EQ(loadedArea.m_nPixels, 4000000000u);
    EXPECT_EQ(loadedArea.m_nObjectPixels, 123u);
    EXPECT_EQ(loadedArea.m_nObjectShare, 7u);
    EXPECT_EQ(loadedArea.m_dHomogeneity, 0.75);
}

TEST(MeasureRecordsTest, DamagedItemsAreAnArchiveErrorAndMissingOnesKeepTheirValue)
{
    // Missing items: the constructor's values stay.
    CAOIStat area;
    LoadRecord("<Objects><CAOIStat><m_dHomogeneity>0.5</m_dHomogeneity></CAOIStat></Objects>", area);
    EXPECT_EQ(area.m_nPixels, 1u);
    EXPECT_EQ(area.m_dHomogeneity, 0.5);
    CEllipsenObj ellipse;
    LoadRecord("<Objects><CEllipsenObj/></Objects>", ellipse);
    EXPECT_EQ(ellipse.m_nArea, 1);
    EXPECT_FALSE(ellipse.IsFitted());

    const char* damaged[] = {
        "<Objects><CAOIStat><m_nPixels>12x</m_nPixels></CAOIStat></Objects>",
        "<Objects><CAOIStat><m_nPixels>-1</m_nPixels></CAOIStat></Objects>",
        "<Objects><CAOIStat><m_dHomogeneity>nan</m_dHomogeneity></CAOIStat></Objects>",
        "<Objects><CKonturSegment><m_nType>99999999999</m_nType></CKonturSegment></Objects>",
        "<Objects><CKonturSegment><m_Contour>1,2 3</m_Contour></CKonturSegment></Objects>",
        "<Objects><CEllipsenObj><m_Rect.top></m_Rect.top></CEllipsenObj></Objects>",
    };
    for (const char* text : damaged) {
        SCOPED_TRACE(text);
        CAOIStat a;
        CKonturSegment s;
        CEllipsenObj e;
        CObject* record = std::string(text).find("CAOIStat") != std::string::npos ? static_cast<CObject*>(&a)
                          : std::string(text).find("CKontur") != std::string::npos ? static_cast<CObject*>(&s)
                                                                                    : static_cast<CObject*>(&e);
        try {
            LoadRecord(text, *record);
            ADD_FAILURE() << "no archive error";
        } catch (const CArchiveException& error) {
            EXPECT_EQ(error.m_strFileName, "records.xml");
        }
        EXPECT_EQ(s.m_Contour.GetSize(), 0);
    }
}

TEST(MeasureRecordsTest, EllipseFitNeedsFourPointsAndPaintsItsInterior)
{
    CEllipsenObj ellipse;
    for (POINT p : {POINT{0, 0}, POINT{10, 0}, POINT{5, 8}})
        ellipse.AddPoint(p);
    EXPECT_EQ(ellipse.FitEllipse(), 1);
    EXPECT_FALSE(ellipse.IsFitted());
    EXPECT_EQ(ellipse.m_nArea, 1);

    // A circle of radius 10 from its contour pieces.
    CEllipsenObj circle;
    auto piece = std::make_unique<CKonturSegment>();
    for (int k = 0; k < 36; ++k) {
        const double t = k * std::numbers::pi / 18;
        piece->m_Contour.Add(30 + static_cast<int>(std::lround(10 * std::cos(t))),
                             30 + static_cast<int>(std::lround(10 * std::sin(t))));
    }
    circle.AddPiece(std::move(piece));
    EXPECT_EQ(circle.m_Rect, CRect(20, 20, 40, 40));
    ASSERT_EQ(circle.FitEllipse(), 1);
    ASSERT_TRUE(circle.IsFitted());
    EXPECT_NEAR(circle.m_nArea, 314, 12);
    EXPECT_NEAR(circle.GetFormFactor(), 1.0, 0.1);

    // Left half bright: the object colour; the context admits y < 35 only.
    CDIB page = testimages::MakeImage(60, 60, [](int x, int) { return x < 30 ? RGB(250, 240, 230) : RGB(10, 10, 10); });
    CDIB painted = testimages::MakeImage(60, 60, [](int, int) { return RGB(0, 0, 0); });
    const CSegThres bright(RGB(0, 0, 0), RGB(200, 200, 200), CSegThres::modeBright);
    CEllipseContext context{&page, &bright, &painted, [](int, int y) { return y < 35; }, false};
    const double share = circle.MeasureColor(context, 1);
    EXPECT_GT(share, 0.25);
    EXPECT_LT(share, 0.45);
    EXPECT_EQ(circle.m_MeanColor, RGB(250, 240, 230));
    circle.PaintInterior(context, 2);
    // Every second pixel of every second row, admitted and inside only.
    int marks = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
            if (painted.GetPixel(x, y) != 0xFEFEFE)
                continue;
            ++marks;
            EXPECT_TRUE(y < 35 && std::hypot(x - 30, y - 30) <= 11.0) << x << "," << y;
            EXPECT_NE(painted.GetPixel(x + 1, y), COLORREF(0xFEFEFE));
            EXPECT_NE(painted.GetPixel(x, y + 1), COLORREF(0xFEFEFE));
        }
    }
    EXPECT_GT(marks, 30);
    EXPECT_THROW(circle.MeasureColor(context, 0), CInvalidArgException);

    struct CRefusing : CEllipsePixelTarget
    {
        int pixels = 0;
        bool AddPixel(int, int) override { return ++pixels < 5; }
    } refusing;
    EXPECT_EQ(circle.FitEllipse(&refusing), 0);
    EXPECT_EQ(refusing.pixels, 5);

    EXPECT_THROW(circle.GetPiece(1), CInvalidArgException);
    auto taken = circle.RemovePiece(0);
    EXPECT_EQ(taken->m_Contour.GetSize(), 36);
    EXPECT_EQ(circle.GetPieceCount(), 0);
}

TEST(MeasureRecordsTest, AreaStatisticsKeepAClassPerLearnedClassAndTheirOwn)
{
    CAOIStat area;
    area.AddClass(RGB(0, 255, 0), "Green");
    area.AddClass(RGB(0, 0, 255), "Blue");
    area.ResetTotals();
    area.AddPixel(1, 1, RGB(0, 200, 0), 1);
    area.AddPixel(2, 1, RGB(0, 100, 0), 1);
    area.AddPixel(3, 1, RGB(0, 0, 90), 2);
    area.AddPixel(4, 1, RGB(50, 50, 50), 0);
    area.AddPixel(5, 1, RGB(50, 50, 50), 3); // no third class: ignored
    area.SetTotals(8, RGB(10, 20, 30), 4, 50);
    area.FinishStatistics();

    EXPECT_EQ(area.GetClassName(0), "Green");
    EXPECT_EQ(area.GetClassName(2), "Normal");
    EXPECT_EQ(area.GetClassColor(2), COLORREF(255));
    EXPECT_EQ(area.GetClassMean(0, 1), 150);
    EXPECT_EQ(area.GetClassArea(0), 2.0);
    EXPECT_EQ(area.GetClassShare(0), 25);
    EXPECT_EQ(area.GetClassShare(2), 12);
    EXPECT_THROW(area.GetClassName(3), CInvalidArgException);

    // Sub-row cells of a class: name, area, means, share, "---" elsewhere.
    std::vector<std::string> cells;
    for (int c = 0; c < 11; ++c)
        cells.push_back(area.GetColumnValuesAt(0, c).GetString());
    EXPECT_EQ(cells, (std::vector<std::string>{"0", "Green", "2.00", "0", "150", "0", "---", "25%", "---", "---", "---"}));
    EXPECT_EQ(area.GetColumnValuesAt(2, 1), "Normal");
    EXPECT_THROW(area.GetColumnValuesAt(3, 1), CInvalidArgException);

    // Homogeneity from the channel spreads: a flat area is 1, an area of
    // black and white halves 0; pixels outside the image do not count.
    const CDIB page = testimages::MakeImage(8, 4, [](int x, int) { return x < 4 ? RGB(0, 0, 0) : RGB(255, 255, 255); });
    struct sCase
    {
        CRect rect;
        double homogeneity;
    };
    for (const sCase& c : {sCase{CRect(0, 0, 4, 4), 1.0}, sCase{CRect(-4, 0, 4, 4), 1.0}, sCase{CRect(2, 0, 6, 4), 0.0}}) {
        CAOIStat measured;
        measured.MeasureHomogeneity(CAOI2(c.rect), page);
        EXPECT_NEAR(measured.m_dHomogeneity, c.homogeneity, 1e-9) << c.rect.left;
    }
    CAOIStat outside;
    outside.MeasureHomogeneity(CAOI2(CRect(20, 20, 24, 24)), page);
    EXPECT_EQ(outside.m_dHomogeneity, 1.0);

    // A scale of the record's own calibration.
    area.m_Calibration.m_dFactor = 0.5;
    EXPECT_EQ(area.GetArea(), 2.0);
    EXPECT_EQ(area.GetClassArea(0), 0.5);
}

} // namespace

namespace {

struct sRaySegment
{
    int y;
    int x0;
    int x1;
};

std::unique_ptr<CRPolygon> MakeRay(int kind, std::initializer_list<POINT> points)
{
    auto ray = std::make_unique<CRPolygon>();
    for (const POINT& p : points)
        ray->Add(p);
    ray->m_nShapeType = kind;
    return ray;
}

// Each segment is one line-like ray, then a ray without a kind that ends
// the run.
void AddRaySegments(CEdgeObj& edge, std::initializer_list<sRaySegment> segments)
{
    for (const sRaySegment& s : segments) {
        edge.AddRay(MakeRay(CRPolygon::shapeLine, {POINT{s.x0, s.y}, POINT{(s.x0 + s.x1) / 2, s.y}, POINT{s.x1, s.y}}), 0.0);
        edge.AddRay(MakeRay(CRPolygon::shapeNone, {POINT{1, 1}}), 0.0);
    }
}

TEST(EdgeObjTest, CyclicSearchesWrapAndEndWithoutAMatch)
{
    CEdgeObj edge;
    EXPECT_EQ(edge.NextRay(0, 7), -1);
    edge.AddRay(MakeRay(0, {POINT{1, 1}}), 0.0);
    edge.AddRay(MakeRay(1, {POINT{2, 2}, POINT{3, 3}}), 0.0);
    edge.AddRay(MakeRay(0, {POINT{1, 1}}), 0.0);
    edge.AddRay(MakeRay(4, {POINT{3, 3}, POINT{5, 5}}), 0.0);
    EXPECT_EQ(edge.NextRay(3, 1), 1); // past the end to the start
    EXPECT_EQ(edge.PrevRay(1, 4), 3); // past the start to the end
    EXPECT_EQ(edge.NextRay(1, 1), 1); // one lap back to itself
    EXPECT_EQ(edge.NextRay(0, 2), -1);
    EXPECT_EQ(edge.PrevRay(0, 2), -1);
    EXPECT_EQ(edge.FirstRay(5), 1);
    EXPECT_EQ(edge.LastRay(5), 3);
    EXPECT_THROW(edge.FirstRay(2), CInvalidArgException);
    EXPECT_EQ(edge.CountRays(7), 2);

    edge.CollectTopEdgePoints();
    ASSERT_EQ(edge.m_arrFoundPoints.GetSize(), 2);
    EXPECT_EQ(CPoint(edge.m_arrFoundPoints[1]), CPoint(3, 3));
    edge.RemoveLastRay();
    EXPECT_EQ(edge.GetRayCount(), 3);
}

TEST(EdgeObjTest, UpperAndLowerLinesFollowTheRowRules)
{
    struct sCase
    {
        const char* name;
        std::initializer_list<sRaySegment> segments;
        int upperY; // -1: not set
        int lowerY;
    };
    const sCase cases[] = {
        {"a longer line 40 rows lower stays out", {{100, 10, 110}, {140, 10, 210}}, 100, -1},
        {"a longer line 39 rows lower replaces", {{100, 10, 110}, {139, 10, 210}}, 139, -1},
        {"a shorter line 40 rows higher stays out", {{100, 10, 110}, {60, 10, 50}}, 100, -1},
        {"a shorter line 41 rows higher replaces", {{100, 10, 110}, {59, 10, 50}}, 59, -1},
        {"lower needs more than 100 rows", {{100, 10, 110}, {200, 10, 110}}, 100, -1},
        {"lower at 101 rows", {{100, 10, 110}, {201, 10, 110}}, 100, 201},
        {"a shorter lower line 40 rows further stays out", {{100, 10, 110}, {201, 10, 110}, {241, 10, 50}}, 100, 201},
        {"a shorter lower line 41 rows further replaces", {{100, 10, 110}, {201, 10, 110}, {242, 10, 50}}, 100, 242},
    };
    for (const sCase& c : cases) {
        SCOPED_TRACE(c.name);
        CEdgeObj edge;
        AddRaySegments(edge, c.segments);
        edge.MeasureRays();
        EXPECT_EQ(edge.m_arrSegmentPoints.GetSize(), 2 * static_cast<INT_PTR>(c.segments.size()));
        EXPECT_EQ(edge.m_ptUpper[0].y, c.upperY);
        EXPECT_EQ(edge.m_ptUpper[1].y, c.upperY);
        EXPECT_LT(edge.m_ptUpper[0].x, edge.m_ptUpper[1].x);
        EXPECT_EQ(edge.m_ptLower[0].y, c.lowerY == -1 ? 0 : c.lowerY);
    }

    // A vertical run gives a segment but no edge line; a lone short ray none.
    CEdgeObj edge;
    edge.AddRay(MakeRay(CRPolygon::shapeLine, {POINT{50, 10}, POINT{50, 60}, POINT{50, 110}}), 0.0);
    edge.AddRay(MakeRay(CRPolygon::shapeNone, {POINT{1, 1}}), 0.0);
    edge.AddRay(MakeRay(CRPolygon::shapeLine, {POINT{5, 5}}), 0.0);
    edge.MeasureRays();
    ASSERT_EQ(edge.m_arrSegmentPoints.GetSize(), 2);
    EXPECT_EQ(CPoint(edge.m_arrSegmentPoints[0]), CPoint(50, 10));
    EXPECT_EQ(CPoint(edge.m_arrSegmentPoints[1]), CPoint(50, 110));
    EXPECT_EQ(edge.m_ptUpper[0], CPoint(0, 0));

    // Consecutive line-like rays join into one fitted segment.
    CEdgeObj joined;
    joined.AddRay(MakeRay(CRPolygon::shapeLine, {POINT{10, 50}, POINT{20, 51}}), 0.0);
    joined.AddRay(MakeRay(CRPolygon::shapeLine, {POINT{30, 52}, POINT{40, 53}}), 0.0);
    int position = 0;
    CPoint a;
    CPoint b;
    ASSERT_TRUE(joined.NextRaySegment(position, a, b));
    EXPECT_EQ(position, 2);
    EXPECT_EQ(a, CPoint(10, 50));
    EXPECT_EQ(b, CPoint(40, 53));
    EXPECT_FALSE(joined.NextRaySegment(position, a, b));
    EXPECT_EQ(a, CPoint(0, 0));
}

TEST(EdgeObjTest, EndMarksAreTheOutermostFeetOnTheUpperLine)
{
    CEdgeObj edge;
    edge.AddRay(MakeRay(CRPolygon::shapeLine, {POINT{10, 100}, POINT{60, 100}, POINT{110, 100}}), 0.0);
    edge.AddRay(MakeRay(CRPolygon::shapeLowCurvature, {POINT{6, 120}, POINT{4, 130}, POINT{2, 140}}), 0.0);
    // Further out, but straight up to a corner: never an end mark.
    edge.AddRay(MakeRay(CRPolygon::shapeCorner, {POINT{-20, 150}}), 0.0);
    edge.AddRay(MakeRay(CRPolygon::shapeLowCurvature, {POINT{115, 120}, POINT{120, 130}, POINT{118, 140}}), 0.0);
    // Inside the line's span: no mark.
    edge.AddRay(MakeRay(CRPolygon::shapeLowCurvature, {POINT{50, 130}}), 0.0);
    edge.MeasureRays();
    ASSERT_EQ(edge.m_ptUpper[0], CPoint(10, 100));
    ASSERT_EQ(edge.m_ptUpper[1], CPoint(110, 100));
    edge.FindEndMarks();
    // The foot of a perpendicular is truncated to whole pixels.
    EXPECT_NEAR(edge.m_ptLeftMark.x, 2, 1);
    EXPECT_EQ(edge.m_ptLeftMark.y, 100);
    EXPECT_NEAR(edge.m_ptRightMark.x, 120, 1);
    EXPECT_EQ(edge.m_ptRightMark.y, 100);

    // Without an upper line there is nothing to mark.
    CEdgeObj bare;
    bare.AddRay(MakeRay(CRPolygon::shapeLowCurvature, {POINT{5, 5}}), 0.0);
    bare.FindEndMarks();
    EXPECT_EQ(bare.m_ptLeftMark, CPoint(0, 0));
}

} // namespace

namespace {

TEST(MeasureRecordsDrawTest, RecordsDrawWhatTheyHold)
{
    const COLORREF colours[] = {RGB(1, 0, 0), RGB(2, 0, 0), RGB(3, 0, 0)};
    CTextLabel label;

    // Segment pixels in the colour of its type; too few colours refused.
    CKonturSegment segment;
    segment.m_nType = CKonturSegment::convex;
    segment.m_Contour.Add(4, 5);
    segment.m_Contour.Add(5, 5);
    CRecordingDC segmentDC;
    segment.Draw(&segmentDC, 1, colours, &label, 0);
    int convexPixels = 0;
    for (const CDCRecord& r : segmentDC.Records())
        convexPixels += r.op.Left(8) == "SetPixel" && r.color == colours[1];
    EXPECT_EQ(convexPixels, 2);
    EXPECT_THROW(segment.Draw(&segmentDC, 1, std::span(colours, 2), &label, 0), CInvalidArgException);

    // Edge lines only when both ends are set, wide and blue; end marks.
    CEdgeObj edge;
    edge.m_ptUpper[0] = CPoint(10, 100);
    edge.m_ptUpper[1] = CPoint(110, 100);
    edge.m_ptLower[1] = CPoint(50, 150);
    edge.m_ptLeftMark = CPoint(2, 100);
    CRecordingDC edgeDC;
    edge.Draw(&edgeDC, 1, colours, &label, 0);
    int edgeLines = 0;
    int markStrokes = 0;
    for (const CDCRecord& r : edgeDC.Records()) {
        edgeLines += r.op == "LineTo" && r.pen.lopnWidth.x == 5 && r.pen.lopnColor == RGB(0, 0, 255);
        markStrokes += r.op == "LineTo" && r.pen.lopnWidth.x == 2 && r.pen.lopnColor == RGB(0, 128, 255);
    }
    EXPECT_EQ(edgeLines, 1);
    EXPECT_GT(markStrokes, 0);

    // A defect: its cross and its number beside it.
    CDefect defect;
    defect.SetDefect(20, 30, 1.0);
    CRecordingDC defectDC;
    defect.Draw(&defectDC, 7, colours, &label, 0);
    EXPECT_EQ(label.m_strText, "7");
    bool numbered = false;
    for (const CDCRecord& r : defectDC.Records())
        numbered = numbered || (r.text == "7" && !r.points.empty() && r.points[0].x >= 25);
    EXPECT_TRUE(numbered);
}

} // namespace
