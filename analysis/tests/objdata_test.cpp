// The measured-object record: its columns by flag word, its units, its XML
// form, its measures from a traced contour, holes, nuclei and copies, and
// what it draws.

#include "analysis/cvcontours.h"
#include "analysis/kontur8.h"
#include "analysis/objdata.h"
#include "analysis/objdataii.h"
#include "analysis/scanrayresult.h"
#include "analysis/skeldata.h"
#include "analysis/tests/tracepage.h"
#include "objectmodel/textlabel.h"
#include "objectmodel/valueformat.h"
#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/file.h"
#include "analysis/tests/drawruns.h"
#include "platform/core/recording_dc.h"
#include "platform/core/tests/scratch_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr DWORD kAllColumns = 0x803FFF7F;

std::vector<CString> Titles(CBaseObj& record)
{
    CStringArray titles;
    titles.Add("stale");
    record.GetColumnTitles(titles, 0);
    return {titles.begin(), titles.end()};
}

// A record with a value in every column.
void Fill(CObjData& record)
{
    record.m_ptCentroid = CPoint(12, 34);
    record.m_lArea = 120;
    record.m_lConvexArea = 150;
    record.m_FF = 1.25f;
    record.m_MinRect.m_dLength = 15.0;
    record.m_MinRect.m_dWidth = 6.0;
    record.m_MeanColor = RGB(10, 20, 30);
    record.m_dHomogeneity = 0.875;
    record.m_nNuclei = 2;
    record.m_fNC = 0.5f;
    record.m_fCurvature1 = 0.25f;
    record.m_fCurvature2 = 1.5f;
    record.m_bTail = 1;
    record.m_bHitBoundary = 1;
    record.m_Rect = CRect(3, 4, 13, 9);
    record.m_strClassName = "Big";
    CChain8 hole;
    record.AddChain(&hole, 20);
}

// Keeps the system calibration of the other tests.
class CalibrationGuard
{
public:
    CalibrationGuard() : m_saved(CBaseObj::SystemCalibration) {}
    ~CalibrationGuard() { CBaseObj::SystemCalibration = m_saved; }
    CalibrationGuard(const CalibrationGuard&) = delete;
    CalibrationGuard& operator=(const CalibrationGuard&) = delete;

private:
    CCalibration m_saved;
};

TEST(ObjDataTest, NewRecord)
{
    CObjData record;
    EXPECT_EQ(record.m_ID, 5);
    EXPECT_EQ(record.m_Index, -1);
    EXPECT_EQ(Titles(record), std::vector<CString>{"Index"});
    EXPECT_EQ(record.GetColumnValues(0), "0");
    EXPECT_EQ(record.GetColumnVariant(0), COleVariant(static_cast<LONG>(0)));
    EXPECT_EQ(record.GetConvexity(), 1.0);
    EXPECT_EQ(record.GetRoundness(), 0.0);
    EXPECT_EQ(record.GetFormFactor(), 1.0);
    EXPECT_EQ(record.GetHomogeneity(), 1.0);
    EXPECT_THROW(record.GetColumnValues(1), CInvalidArgException);
    EXPECT_THROW(record.GetColumnValues(-1), CInvalidArgException);
}

TEST(ObjDataTest, TitlesByFlagWord)
{
    const struct
    {
        DWORD flags;
        std::vector<CString> titles;
    } cases[] = {
        {0x3, {"Index", "PosX", "PosY"}},
        {0x30, {"Index", "Length", "Width", "Roundness"}},
        {0x70, {"Index", "Length", "Tot.Length", "Width", "Roundness"}},
        {0x10, {"Index", "Length"}},
        {0x200, {"Index", "Red", "Green", "Blue"}},
        {0x4 | 0x800 | 0x1000, {"Index", "Area[Units]", "Homogenity", "Convexity"}},
        {0x80000000 | 0x200000 | 0x100000 | 0x80000, {"Index", "Border", "Rect(width,height)", "Tips", "Class"}},
        {0x400000, {"Index"}}, // nodes belong to skeletons
        {kAllColumns,
         {"Index", "PosX", "PosY", "Area[Units]", "Form", "Length", "Tot.Length", "Width", "Roundness", "Red", "Green",
          "Blue", "Homogenity", "Convexity", "Nuclei", "N/C", "Curvature", "Holes", "Tail/Moving", "Border",
          "Rect(width,height)", "Tips", "Class"}},
    };
    for (const auto& c : cases) {
        CObjData record;
        record.m_Type = c.flags;
        EXPECT_EQ(Titles(record), c.titles) << std::hex << c.flags;
    }
}

TEST(ObjDataTest, TextsStayUnderTheirTitles)
{
    // Tot.Length and Tips have columns of their own: every later value
    // stays under its title whichever of the two is set.
    const std::map<CString, std::pair<CString, VARTYPE>> expected{
        {"Index", {"0", VT_I4}},
        {"PosX", {"12", VT_I4}},
        {"PosY", {"34", VT_I4}},
        {"Area[Units]", {"100.00", VT_R8}},
        {"Form", {"1.25", VT_R4}},
        {"Length", {"15.00", VT_R8}},
        {"Tot.Length", {"", VT_EMPTY}},
        {"Width", {"6.00", VT_R8}},
        {"Roundness", {"2.50", VT_R8}},
        {"Red", {"10", VT_UI1}},
        {"Green", {"20", VT_UI1}},
        {"Blue", {"30", VT_UI1}},
        {"Homogenity", {"0.88", VT_R8}},
        {"Convexity", {"0.80", VT_R8}},
        {"Nuclei", {"2", VT_I2}},
        {"N/C", {"0.50", VT_R4}},
        {"Curvature", {"1.50,0.25", VT_R4}},
        {"Holes", {"1", VT_I2}},
        {"Tail/Moving", {"True", VT_I2}},
        {"Border", {"True", VT_I2}},
        {"Rect(width,height)", {"10,5", VT_EMPTY}},
        {"Tips", {"", VT_EMPTY}},
        {"Class", {"Big", VT_BSTR}},
    };
    for (const DWORD flags : {kAllColumns, kAllColumns & ~0x40u, kAllColumns & ~0x200000u,
                              kAllColumns & ~0x200040u, 0x80200051u, 0x80000048u}) {
        CObjData record;
        Fill(record);
        record.m_Type = flags;
        const std::vector<CString> titles = Titles(record);
        for (size_t i = 0; i < titles.size(); ++i) {
            const auto& [text, vt] = expected.at(titles[i]);
            EXPECT_EQ(record.GetColumnValues(static_cast<int>(i)), text) << titles[i] << " flags " << std::hex << flags;
            EXPECT_EQ(record.GetColumnVariant(static_cast<int>(i)).vt, vt) << titles[i];
        }
        EXPECT_THROW(record.GetColumnValues(static_cast<int>(titles.size())), CInvalidArgException);
    }
    CObjData record;
    Fill(record);
    record.m_Type = kAllColumns;
    EXPECT_EQ(record.GetColumnOfFeature(6), CObjData::columnTotLength);
    EXPECT_EQ(record.GetColumnVariant(11).bVal, 30); // blue
    EXPECT_EQ(record.GetColumnVariant(16).fltVal, 1.5f);
    record.m_Type = 0x80000044;
    EXPECT_EQ(record.GetColumnOfFeature(2), CObjData::columnTotLength);
    EXPECT_EQ(record.GetColumnOfFeature(3), CObjData::columnClass);
}

TEST(ObjDataTest, UnitsFollowTheCalibration)
{
    CalibrationGuard guard;
    CObjData record;
    Fill(record);
    record.m_Type = 0x34;
    CBaseObj::SystemCalibration.m_dFactor = 0.5;
    CBaseObj::SystemCalibration.m_nUnit = 1;
    // Area (120 - 20 hole pixels) x 0.25, lengths x 0.5; the roundness is a ratio.
    EXPECT_EQ(record.GetColumnValues(1), "25.00");
    EXPECT_EQ(record.GetColumnValues(2), "7.50");
    EXPECT_EQ(record.GetColumnValues(3), "3.00");
    EXPECT_EQ(record.GetColumnValues(4), "2.50");
    CBaseObj::SystemCalibration.m_dFactor = 0.01;
    EXPECT_EQ(record.GetColumnValues(1), "0.0100"); // four decimals below 0.1
    EXPECT_DOUBLE_EQ(record.GetColumnVariant(1).dblVal, 0.01);

    std::vector<CString> titles = Titles(record);
    for (CString& title : titles)
        ReplaceUnitsTag(title);
    EXPECT_EQ(titles, (std::vector<CString>{"Index", "Area [mm²]", "Length", "Width", "Roundness"}));
    CBaseObj::SystemCalibration.m_nUnit = 0;
    CString area = "Area[Units]";
    ReplaceUnitsTag(area);
    EXPECT_EQ(area, "Area [µm²]");
}

TEST(ObjDataTest, TextsOfStatesAndMendedDivisions)
{
    CObjData record;
    record.m_Type = 0x40000 | 0x10000 | 0x80000 | 0x1000 | 0x30;
    auto text = [&](const char* title) {
        const std::vector<CString> titles = Titles(record);
        for (size_t i = 0; i < titles.size(); ++i)
            if (titles[i] == title)
                return record.GetColumnValues(static_cast<int>(i));
        return CString("?");
    };
    EXPECT_EQ(text("Curvature"), "-");
    EXPECT_EQ(text("Tail/Moving"), "False");
    EXPECT_EQ(text("Border"), "False");
    record.m_nMoving = 2;
    EXPECT_EQ(text("Tail/Moving"), "Moving");
    record.m_nMoving = 0;
    record.m_bTail = 1;
    record.m_bTailValid = 1;
    record.EditTail().m_fValue1 = 8.0f;
    record.EditTail().m_fValue2 = 2.0f; // folded to 2 - pi
    record.m_fOrientation = 0.5f;
    EXPECT_NEAR(record.GetTailAngle(), std::fabs(0.5 - (2.0 - M_PI)), 1e-6);
    EXPECT_EQ(text("Tail/Moving"),
              FormatString("Len:8.00 Ang:%.2lf\u00B0", record.GetTailAngle() * 180.0 / 3.1415927410125732));
    record.m_bHitBoundary = 2; // only 1 counts as contact
    EXPECT_EQ(text("Border"), "False");

    // A rectangle with no width has no roundness (not infinity).
    record.m_MinRect.m_dLength = 10.0;
    EXPECT_EQ(record.GetRoundness(), 0.0);
    EXPECT_EQ(text("Roundness"), "0.00");
    // Convexity in double: 3 / 4, not the integer 0.
    record.m_lArea = 3;
    record.m_lConvexArea = 4;
    EXPECT_EQ(record.GetConvexity(), 0.75);
    record.m_lConvexArea = -4;
    EXPECT_EQ(record.GetConvexity(), 0.75);
}

TEST(ObjDataTest, HolesScanResultsAndLength)
{
    CalibrationGuard guard;
    CBaseObj::SystemCalibration.m_dFactor = 2.0;
    CObjData record;
    record.m_lArea = 100;
    CChain8 hole;
    hole.SetStartPoint(4, 4);
    record.AddChain(&hole, 10);
    record.AddChain(&hole, 5);
    record.AddChain(nullptr, 50);
    EXPECT_EQ(record.GetHoleCount(), 2);
    EXPECT_EQ(record.m_lHoleArea, 15);
    EXPECT_EQ(record.GetArea(), 85.0 * 4.0);
    EXPECT_EQ(record.GetHole(1).GetStartPoint(), CPoint(4, 4));
    EXPECT_THROW(record.GetHole(2), CInvalidArgException);

    // A record filled again from scratch: the first hole restarts the sum.
    CObjData refilled;
    refilled.m_lHoleArea = 999;
    refilled.AddChain(&hole, 7);
    EXPECT_EQ(refilled.m_lHoleArea, 7);

    record.m_MinRect.m_dLength = 10.0;
    EXPECT_EQ(record.GetLength(), 20.0);
    auto scan = std::make_unique<CScanRayResult3>();
    scan->m_arrLeft.Add(POINT{10, 10});
    scan->m_arrLeft.Add(POINT{13, 14});
    record.AddScanResult(std::move(scan));
    // The first scan result gives the length, in pixels.
    EXPECT_EQ(record.GetLength(), 5.0);
    EXPECT_EQ(record.m_Rect, CRect(10, 10, 13, 14));
    EXPECT_EQ(record.GetResultCount(), 1);
    EXPECT_THROW(record.GetResult(1), CInvalidArgException);
    EXPECT_THROW(record.GetSegmentA(0), CInvalidArgException);
}

TEST(ObjDataTest, CopyTakesTheMeasuresOnly)
{
    CObjData source;
    Fill(source);
    source.m_ID = 9;
    source.m_dClass = 3;
    source.m_Index = 7;
    source.m_Chain.SetStartPoint(1, 2);
    source.m_Chain.Add(0);
    source.m_Polygon.Add(POINT{1, 1});
    source.m_ContourColor = 0x123456;
    source.m_nMoving = 2;
    source.m_fOrientation = 1.0f;
    source.m_nSubCount = 4;
    source.m_ptLabel = CPoint(5, 6);
    source.m_dInnerRadius = 2.5;
    source.EditTail().m_Points.Add(POINT{3, 3});
    source.EditTail().m_fValue1 = 4.0f;

    CObjData copy;
    copy.CopyFrom(source);
    EXPECT_EQ(copy.m_ID, 9);
    EXPECT_EQ(copy.m_dClass, 3);
    EXPECT_EQ(copy.GetClassName(), "Big");
    EXPECT_EQ(copy.m_Index, 7);
    EXPECT_EQ(copy.m_Chain.GetSize(), 1);
    EXPECT_EQ(copy.m_Chain.GetStartPoint(), CPoint(1, 2));
    EXPECT_EQ(copy.m_lArea, 120);
    EXPECT_EQ(copy.m_lConvexArea, 150);
    EXPECT_EQ(copy.m_MinRect.m_dWidth, 6.0);
    EXPECT_EQ(copy.GetTail().m_Points.GetSize(), 1);
    EXPECT_EQ(copy.GetTail().m_fValue1, 4.0f);
    EXPECT_EQ(copy.m_nSubCount, 4);
    EXPECT_EQ(copy.m_ptLabel, CPoint(5, 6));
    EXPECT_EQ(copy.m_dInnerRadius, 2.5);
    EXPECT_EQ(copy.m_Rect, CRect(3, 4, 13, 9));
    // Not copied.
    EXPECT_TRUE(copy.m_Polygon.IsEmpty());
    EXPECT_EQ(copy.GetHoleCount(), 0);
    EXPECT_EQ(copy.m_lHoleArea, 0);
    EXPECT_EQ(copy.m_ContourColor, 0u);
    EXPECT_EQ(copy.m_nMoving, 0);
    EXPECT_EQ(copy.m_fOrientation, CObjData::orientationNotSet);
    EXPECT_EQ(copy.m_fNC, 0.0f);
    EXPECT_EQ(copy.m_nNuclei, 0);

    // A plain source empties the hull and the tail of a record that has
    // them, as a source with empty ones does; the marker points stay.
    CObjData plain;
    copy.EditHullChain().SetStartPoint(4, 4);
    copy.EditHullChain().Add(0);
    copy.EditMarkPoints().Add(POINT{1, 1});
    copy.CopyFrom(plain);
    EXPECT_TRUE(copy.GetHullChain().IsEmpty());
    EXPECT_EQ(copy.GetHullChain().GetStartPoint(), CPoint(0, 0));
    EXPECT_EQ(copy.GetTail().m_Points.GetSize(), 0);
    EXPECT_EQ(copy.GetTail().m_fValue1, 0.0f);
    EXPECT_EQ(copy.GetMarkPoints().GetSize(), 1);
}

TEST(ObjDataIITest, NucleiCountAndRatio)
{
    CObjDataII cell;
    cell.AddNucleus(std::make_unique<CObjData>()); // the cell has no area yet
    EXPECT_EQ(cell.m_fNC, 0.0f);
    cell.m_lArea = 200;
    auto nucleus = std::make_unique<CObjData>();
    nucleus->m_lArea = 30;
    cell.AddNucleus(std::move(nucleus));
    auto second = std::make_unique<CObjData>();
    second->m_lArea = 20;
    second->m_ptCentroid = CPoint(8, 9);
    cell.AddNucleus(std::move(second));
    cell.AddNucleus(nullptr);
    EXPECT_EQ(cell.m_nNuclei, 3);
    EXPECT_EQ(cell.m_nSubCount, 3);
    EXPECT_FLOAT_EQ(cell.m_fNC, 0.25f);
    EXPECT_EQ(cell.GetNucleus(2).m_ptCentroid, CPoint(8, 9));
    EXPECT_THROW(cell.GetNucleus(3), CInvalidArgException);

    cell.AppendNucleus(std::make_unique<CObjData>());
    EXPECT_EQ(cell.GetNucleusCount(), 4);
    EXPECT_EQ(cell.m_nNuclei, 3);

    CObjDataII copy;
    copy.AddNucleus(std::make_unique<CObjData>());
    copy.CopyWithNuclei(cell);
    EXPECT_EQ(copy.GetNucleusCount(), 4);
    EXPECT_EQ(copy.m_nNuclei, 4);
    EXPECT_EQ(copy.m_nSubCount, 4);
    EXPECT_EQ(copy.GetNucleus(2).m_lArea, 20);
    EXPECT_NE(&copy.GetNucleus(2), &cell.GetNucleus(2));

    cell.ClearNuclei();
    EXPECT_EQ(cell.GetNucleusCount(), 0);
    EXPECT_EQ(cell.m_nNuclei, 0);

    // A plain record keeps no nuclei.
    CObjData plain;
    plain.AddNucleus(std::make_unique<CObjData>());
    EXPECT_EQ(plain.m_nNuclei, 0);
}

// --- measures from a traced contour ---

class ContourTest : public ::testing::Test
{
protected:
    void Trace(const std::vector<std::string>& picture, POINT start)
    {
        m_page = tracetest::MakePage(picture, 24);
        m_aoi = tracetest::WholePage(m_page);
        m_tracer.SetImage(&m_page, &m_aoi, &m_threshold);
        m_tracer.Size(1000);
        m_tracer.Trace(start.x, start.y, FALSE, 0);
        m_tracer.CalcChainMeasures();
    }

    CDIB m_page;
    CAOI2 m_aoi;
    CSegThres m_threshold = tracetest::DarkThreshold();
    CKontur8 m_tracer;
};

TEST_F(ContourTest, RecordFromTheTracerAndItsConvexHull)
{
    Trace({"........", ".####...", ".####...", ".##.....", ".##.....", "........"}, {1, 1});
    CObjData record;
    record.SetFromContour(m_tracer);
    EXPECT_EQ(record.m_lArea, 5); // the outline through the pixel centres
    EXPECT_EQ(record.m_FF, static_cast<float>(CalcFormFactor(5, m_tracer.m_nPerimeter)));
    EXPECT_EQ(record.m_Chain.GetSize(), m_tracer.GetChainLength());
    EXPECT_EQ(record.m_Chain.GetStartPoint(), CPoint(1, 1));
    EXPECT_EQ(record.m_Polygon.GetSize(), m_tracer.GetLastIndex() + 1);
    EXPECT_EQ(CRect(record.m_Polygon.GetBoundingRect()), CRect(1, 1, 4, 4));
    EXPECT_EQ(record.m_ptCentroid, m_tracer.GetCentroid());
    EXPECT_EQ(record.m_Rect, CRect(1, 1, 4, 4));
    EXPECT_EQ(record.m_ContourColor, m_tracer.GetMeanColor());

    record.MeasureFromContour();
    // The hull cuts the inner corner: (1,1) (4,1) (4,2) (2,4) (1,4).
    EXPECT_EQ(record.m_lConvexArea, 7);
    EXPECT_NEAR(record.GetConvexity(), 5.0 / 7.0, 1e-12);
    ASSERT_FALSE(record.GetHullChain().IsEmpty());
    // The hull chain closes on its start.
    CPoint at = record.GetHullChain().GetStartPoint();
    for (const BYTE code : record.GetHullChain())
        at = CChain8::StepPoint(code, at.x, at.y);
    EXPECT_EQ(at, record.GetHullChain().GetStartPoint());

    // A convex object is its own hull.
    Trace({"......", ".###..", ".###..", ".###..", "......"}, {1, 1});
    CObjData block;
    block.SetFromContour(m_tracer);
    block.MeasureFromContour();
    EXPECT_EQ(block.m_lConvexArea, block.m_lArea);
    EXPECT_EQ(block.GetConvexity(), 1.0);

    CObjData empty;
    empty.MeasureFromContour();
    EXPECT_EQ(empty.m_lConvexArea, 0);
    EXPECT_TRUE(empty.GetHullChain().IsEmpty());
}

// --- XML form ---

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Stores each record inside a root element "Objects" and returns the file.
std::string Store(const std::string& path, const std::vector<CObject*>& records)
{
    CXMLArchive xml(path.c_str(), CArchive::store);
    xml.GetChildNode("Objects");
    for (CObject* record : records)
        record->Serialize(xml);
    xml.GetCurrentNode()->EndNode();
    xml.Close();
    return ReadText(path);
}

void Load(const std::string& path, CObject& record)
{
    CXMLArchive xml(path.c_str(), CArchive::load);
    ASSERT_NE(xml.GetChildNode("Objects"), nullptr);
    record.Serialize(xml);
}

TEST(ObjDataXmlTest, MatchesTheGoldenFileAndReloads)
{
    CScratchFolder folder;
    CObjData record;
    Fill(record);
    record.m_Rect = CRect(-3, 4, 70000, 9);
    record.m_MeanColor = 0x80FF7F01; // above the signed range
    record.m_dClass = 2;
    record.m_Type = 0x3F;
    record.m_ClassColor = RGB(0, 128, 255);
    record.m_strClassName = "Big ";

    const std::string path = folder / "objdata.xml";
    EXPECT_EQ(Store(path, {&record}), ReadText(KESTRUN_ANALYSIS_GOLDEN_DIR "/objdata.xml"));

    CObjData loaded;
    loaded.m_fNC = 0.5f;
    Load(path, loaded);
    EXPECT_EQ(loaded.m_Rect, record.m_Rect);
    EXPECT_EQ(loaded.m_ptCentroid, CPoint(12, 34));
    EXPECT_EQ(loaded.m_Index, -1);
    EXPECT_EQ(loaded.m_lArea, 120);
    EXPECT_EQ(loaded.m_FF, 1.25f);
    EXPECT_EQ(loaded.m_MeanColor, 0x80FF7F01u);
    EXPECT_EQ(loaded.m_bHitBoundary, 1);
    EXPECT_EQ(loaded.m_dClass, 2);
    EXPECT_EQ(loaded.m_Type, 0x3Fu);
    EXPECT_EQ(loaded.GetClassName(), "Big ");
    EXPECT_EQ(loaded.m_ClassColor, RGB(0, 128, 255));
    // Everything else keeps what it had.
    EXPECT_EQ(loaded.m_lConvexArea, 0);
    EXPECT_EQ(loaded.m_fNC, 0.5f);
    EXPECT_EQ(loaded.GetHoleCount(), 0);
}

TEST(ObjDataXmlTest, KinOfTheRecordAndOtherArchives)
{
    CScratchFolder folder;
    CObjDataII cell;
    cell.m_lArea = 77;
    cell.AddNucleus(std::make_unique<CObjData>());
    CSkelData skeleton;
    skeleton.m_nSkelLength = 40;
    const std::string path = folder / "kin.xml";
    const std::string text = Store(path, {&cell, &skeleton});
    // The cell wraps the object element; nuclei and skeletons leave nothing.
    EXPECT_EQ(text.rfind("<Objects><CObjDataII><CObjData><m_Rect.left>0</m_Rect.left>", 0), 0u) << text;
    EXPECT_NE(text.find("<m_lArea>77</m_lArea>"), std::string::npos);
    EXPECT_EQ(text.find("<CObjData>", text.find("</CObjData>")), std::string::npos) << text;
    EXPECT_NE(text.find("</CObjData></CObjDataII></Objects>"), std::string::npos) << text;

    CObjDataII loaded;
    Load(path, loaded);
    EXPECT_EQ(loaded.m_lArea, 77);
    EXPECT_EQ(loaded.GetNucleusCount(), 0);

    // A byte archive is left alone.
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    CObjData record;
    EXPECT_NO_THROW(record.Serialize(ar));
    EXPECT_NO_THROW(cell.Serialize(ar));
    ar.Close();
    EXPECT_EQ(file.GetLength(), 0u);
}

// --- drawing ---

using drawruns::Runs;

// A contour segment stand-in that shows where it was drawn.
class CSegmentProbe : public CObjDataBase
{
public:
    explicit CSegmentProbe(COLORREF color) : m_color(color) {}
    void Draw(CDC* pDC, int, std::span<const COLORREF>, CTextLabel*, DWORD) override { pDC->SetPixel(0, 0, m_color); }

private:
    COLORREF m_color;
};

constexpr COLORREF kColors[] = {RGB(0x11, 0, 0), RGB(0x22, 0, 0), RGB(0x33, 0, 0)};

void FillDrawables(CObjData& record)
{
    record.m_ptCentroid = CPoint(50, 60);
    record.EditMarkPoints().Add(POINT{1, 1});
    record.EditHolePoints().Add(POINT{2, 2});
    record.EditTipPoints().Add(POINT{3, 3});
    auto scan = std::make_unique<CScanRayResult3>();
    scan->m_nRayIndex = 0;
    scan->m_arrLeft.Add(POINT{40, 40});
    record.AddScanResult(std::move(scan));
    record.m_Polygon.Add(POINT{10, 10});
    record.m_Polygon.Add(POINT{11, 10});
    record.m_Polygon.Add(POINT{11, 11});
    record.EditHullChain().SetStartPoint(10, 10);
    record.EditHullChain().Add(0);
    record.EditTail().m_Points.Add(POINT{5, 5});
    record.EditTail().m_Points.Add(POINT{6, 6});
    CChain8 hole;
    hole.SetStartPoint(20, 20);
    hole.Add(6);
    record.AddChain(&hole, 1);
    record.m_MinRect.m_nCenterX = 30;
    record.m_MinRect.m_Corners[1] = POINT{35, 30};
    record.m_fOrientation = 0.0f;
    record.m_Rect = CRect(8, 8, 14, 14);
    record.AddSegmentA(std::make_unique<CSegmentProbe>(RGB(0xAA, 0, 0)));
    record.AddSegmentB(std::make_unique<CSegmentProbe>(RGB(0xBB, 0, 0)));
}

TEST(ObjDataDrawTest, DrawsInThePartsOrderAndColours)
{
    CObjData record;
    FillDrawables(record);
    CRecordingDC dc;
    CPen* before = dc.GetCurrentPen();
    CTextLabel label("old");
    record.Draw(&dc, 7, kColors, &label, 0x13F);
    const std::vector<std::string> expected{
        "line 000033", "text 7",             // cross in colour 2 at the centroid, the number right of it
        "line 00FF00", "line 80FF00",        // mark points, hole points
        "pixel FFFF00",                      // tip points
        "line 0000FF", "line FFFFFF",        // the scan result: a red cross at its point, a white one at its centre
        "pixel 000011",                      // the polygon's points in the contour colour
        "line 000000",                       // the hull chain in black
        "line 00FF00",                       // tail crosses, then the holes and the rectangle in colour 1
        "line 000022",
        "line 000033",                       // orientation line and outline of m_Rect in colour 2
        "pixel 0000AA", "pixel 0000BB",      // segments A, then B
    };
    EXPECT_EQ(Runs(dc), expected);
    EXPECT_EQ(label.m_strText, "7");
    EXPECT_EQ(dc.GetCurrentPen(), before);

    // The label sits right of the centroid, left of it for a classified
    // object, whose contour takes the class colour.
    for (const CDCRecord& r : dc.Records()) {
        if (r.op == "TextOut") {
            EXPECT_EQ(r.args.at(0), 55);
        }
    }
    // The orientation line: 6 pixels each side of the centroid.
    bool orientation = false;
    for (const CDCRecord& r : dc.Records())
        if (r.op == "LineTo" && r.points.front() == CPoint(44, 60) && r.points.back() == CPoint(56, 60))
            orientation = true;
    EXPECT_TRUE(orientation);

    dc.Clear();
    record.m_dClass = 1;
    record.m_ClassColor = RGB(0, 0, 0x77);
    record.m_ptLabel = CPoint(9, 9);
    record.Draw(&dc, 8, kColors, &label, 0x3);
    const std::vector<std::string> classified{"line 000033", "text 8", "line 00FF00", "line 80FF00", "line 0000FF",
                                              "line FFFFFF", "pixel 770000", "line 000000", "line 00FF00",
                                              "pixel 0000AA", "pixel 0000BB"};
    EXPECT_EQ(Runs(dc), classified);
    for (const CDCRecord& r : dc.Records()) {
        if (r.op == "TextOut") {
            EXPECT_EQ(r.args.at(0), 4);
        }
    }

    // Without flags: the label text still changes; nothing of the contour.
    dc.Clear();
    record.Draw(&dc, 9, kColors, nullptr, 0);
    EXPECT_EQ(Runs(dc).front(), "line 00FF00");

    const COLORREF two[] = {1, 2};
    EXPECT_THROW(record.Draw(&dc, 1, two, &label, 0), CInvalidArgException);
}

// The orientation line follows the measured axis of a leaning ellipse on
// the page (y down): falling to the right for +45 degrees, rising for -45.
TEST(ObjDataDrawTest, OrientationLineFollowsTheMeasuredAxis)
{
    for (const double lean : {45.0, -45.0}) {
        SCOPED_TRACE(lean);
        const double phi = lean * std::acos(-1.0) / 180.0;
        CArray<POINT, const POINT&> outline;
        for (int k = 0; k < 360; ++k) {
            const double t = k * std::acos(-1.0) / 180.0;
            const double u = 30.0 * std::cos(t);
            const double v = 10.0 * std::sin(t);
            outline.Add(POINT{static_cast<LONG>(std::lround(100.0 + u * std::cos(phi) - v * std::sin(phi))),
                              static_cast<LONG>(std::lround(100.0 + u * std::sin(phi) + v * std::cos(phi)))});
        }
        CArray<double, double> moments;
        HuMoments(outline, moments);
        ASSERT_EQ(moments.GetSize(), 8);

        CObjData record;
        record.m_ptCentroid = CPoint(100, 100);
        record.m_fOrientation = static_cast<float>(moments[7]);
        CRecordingDC dc;
        record.Draw(&dc, 1, kColors, nullptr, CObjData::drawOrientation);
        const CDCRecord* line = nullptr;
        for (const CDCRecord& r : dc.Records())
            if (r.op == "LineTo")
                line = &r;
        ASSERT_NE(line, nullptr);
        // Both ends lie on the ellipse's long axis through the centroid.
        const int sign = lean > 0 ? 1 : -1;
        for (const CPoint end : {line->points.front(), line->points.back()}) {
            const int dx = end.x - 100;
            const int dy = end.y - 100;
            EXPECT_GE(std::abs(dx), 4);
            EXPECT_LE(std::abs(dy - sign * dx), 1) << end.x << "," << end.y;
        }
        EXPECT_NE(line->points.front(), line->points.back());
    }
}

TEST(ObjDataDrawTest, ChainWithoutPolygonAndNucleiAndMarker)
{
    CObjDataII cell;
    cell.m_Chain.SetStartPoint(5, 5);
    cell.m_Chain.Add(0);
    auto nucleus = std::make_unique<CObjData>();
    nucleus->m_Chain.SetStartPoint(6, 6);
    nucleus->m_Chain.Add(0);
    cell.AddNucleus(std::move(nucleus));
    CRecordingDC dc;
    cell.Draw(&dc, 1, kColors, nullptr, 0x2);
    // The contour from the chain with the contour pen, the nucleus chains
    // with the pen of colour 1.
    EXPECT_EQ(Runs(dc), (std::vector<std::string>{"line 000011", "line 000022"}));

    dc.Clear();
    cell.m_ptCentroid = CPoint(5, 6);
    CPen chainPen(PS_SOLID, 1, RGB(0, 0, 0x44));
    dc.SelectObject(&chainPen);
    cell.DrawMarker(&dc, RGB(0, 0, 0x55), RGB(0, 0, 0x66));
    EXPECT_EQ(Runs(dc), (std::vector<std::string>{"line 550000", "line 440000"}));
    dc.Clear();
    cell.m_Polygon.Add(POINT{1, 1});
    cell.m_Polygon.Add(POINT{2, 1});
    cell.DrawMarker(&dc, RGB(0, 0, 0x55), RGB(0, 0, 0x66));
    EXPECT_EQ(Runs(dc), (std::vector<std::string>{"line 550000", "pixel 660000"}));
}

} // namespace
