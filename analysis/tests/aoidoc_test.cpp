#include "analysis/aoidoc.h"
#include "analysis/segthres.h"
#include "objectmodel/textlabel.h"
#include "platform/core/exceptions.h"
#include "platform/core/recording_dc.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/core/tests/scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

// Little-endian bytes of a hand-built archive.
class CBytes
{
public:
    CBytes& Word(std::uint16_t v) { return Raw(&v, sizeof v); }
    CBytes& Long(std::int32_t v) { return Raw(&v, sizeof v); }
    CBytes& Double(double v) { return Raw(&v, sizeof v); }
    CBytes& Text(const char* text) { return Raw(text, std::strlen(text)); }
    CBytes& Raw(const void* data, size_t size)
    {
        m_bytes.append(static_cast<const char*>(data), size);
        return *this;
    }
    // A new class record: tag, schema, name.
    CBytes& NewClass(const char* name, std::uint16_t schema)
    {
        return Word(0xFFFF).Word(schema).Word(static_cast<std::uint16_t>(std::strlen(name))).Text(name);
    }
    // The fields of a rectangle AOI after its object record: its own class
    // reference (class index 1), type, rectangle, angle, then what its
    // schema holds.
    CBytes& RectangleFields(int left, int top, int width, int height, int schema)
    {
        Word(0x8001).Word(2).Long(left).Long(top).Long(width).Long(height).Double(0.0);
        if (schema > 2)
            Word(1); // flag
        if (schema > 3)
            Long(0); // no patterns
        if (schema > 4)
            Word(0).Word(0); // no raster
        if (schema > 5)
            Word(0); // no frame
        if (schema > 3)
            Word(0); // no pattern words
        return *this;
    }
    const std::string& Str() const { return m_bytes; }

private:
    std::string m_bytes;
};

std::unique_ptr<CAOI> Rectangle(int left, int top, int right, int bottom, int channel = 0)
{
    auto aoi = std::make_unique<CAOI2>(CRect(left, top, right, bottom));
    aoi->m_nChannel = channel;
    return aoi;
}

void Add(CAOIDoc& doc, std::unique_ptr<CAOI> aoi)
{
    ASSERT_EQ(doc.AddAOI(aoi), 1);
}

// Three AOIs: 0 and 2 on page 0, 1 on page 1.
class AOIDocTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_doc.SetImageSize(640, 480, true);
        Add(m_doc, Rectangle(10, 10, 100, 100));
        Add(m_doc, Rectangle(200, 10, 300, 100, 1));
        Add(m_doc, Rectangle(20, 20, 60, 60));
    }

    kestrun::testing::ScopedMessageBoxes m_boxes;
    CAOIDoc m_doc;
};

} // namespace

TEST_F(AOIDocTest, EnabledNavigation)
{
    EXPECT_EQ(m_doc.GetAOICount(), 3);
    EXPECT_EQ(m_doc.GetActiveIndex(), 2) << "an added AOI makes the last enabled one active";
    EXPECT_EQ(m_doc.GetFirstEnabledAOI(), 0);
    EXPECT_EQ(m_doc.GetLastEnabledAOI(), 2);
    EXPECT_EQ(m_doc.GetEnabledAOIFrom(1), 2);
    EXPECT_EQ(m_doc.GetEnabledAOIFrom(3), 0);
    EXPECT_EQ(m_doc.GetEnabledAOIFrom(-5), 0);

    m_doc.SelectNextAOI();
    EXPECT_EQ(m_doc.GetActiveIndex(), 2) << "a valid active AOI stays where it is";
    m_doc.SetActiveAOI(1);
    EXPECT_EQ(m_doc.GetActiveAOI(false), nullptr) << "AOI 1 is of another page";
    EXPECT_EQ(m_doc.GetActiveAOI(true), &m_doc.GetImageAOI());
    m_doc.SelectNextAOI();
    EXPECT_EQ(m_doc.GetActiveIndex(), 2);

    int position = -1;
    std::vector<CAOI*> seen;
    while (CAOI* aoi = m_doc.GetNextEnabledAOI(position))
        seen.push_back(aoi);
    EXPECT_EQ(seen, (std::vector<CAOI*>{m_doc.GetAOI(0), m_doc.GetAOI(1), m_doc.GetAOI(2)}));
    EXPECT_EQ(position, -1);

    EXPECT_EQ(m_doc.SetActiveAOI(0), 3);
    EXPECT_EQ(m_doc.GetActiveAOI(false), m_doc.GetAOI(0));
    EXPECT_EQ(m_doc.SetActiveAOI(7), 0);
    EXPECT_EQ(m_doc.GetActiveIndex(), 0);
    EXPECT_EQ(m_doc.GetAOI(3), nullptr);
    EXPECT_EQ(m_doc.GetAOI(-1), nullptr);

    m_doc.SetCurrentPage(1);
    EXPECT_EQ(m_doc.GetFirstEnabledAOI(), 1);
    m_doc.SetCurrentPage(12);
    EXPECT_EQ(m_doc.GetCurrentPage(), 0);
    m_doc.SetCurrentPage(-1);
    EXPECT_EQ(m_doc.GetFirstEnabledAOI(), 0);
}

TEST_F(AOIDocTest, PickingPrefersTheSmallestAOI)
{
    m_doc.SetActiveAOI(1);
    EXPECT_TRUE(m_doc.FindAOIAtPoint(30, 30));
    EXPECT_EQ(m_doc.GetActiveIndex(), 2);
    EXPECT_TRUE(m_doc.FindAOIAtPoint(80, 80));
    EXPECT_EQ(m_doc.GetActiveIndex(), 0);
    // AOI 1 is of another page; nothing there: the active AOI stays.
    EXPECT_TRUE(m_doc.FindAOIAtPoint(250, 50));
    EXPECT_EQ(m_doc.GetActiveIndex(), 0);
    m_doc.SetActiveAOI(1);
    EXPECT_FALSE(m_doc.FindAOIAtPoint(600, 400));
}

TEST_F(AOIDocTest, AddingFitsRectanglesAndRefusesOtherShapes)
{
    auto edge = Rectangle(600, 100, 640, 150);
    ASSERT_EQ(m_doc.AddAOI(edge), 1);
    EXPECT_EQ(edge, nullptr);
    const CAOI* added = m_doc.GetAOI(3);
    EXPECT_EQ(added->GetRect(), CRect(599, 100, 639, 150)) << "ends one pixel before the border";
    EXPECT_TRUE(added->m_bModified);

    CRPolygon outline;
    for (POINT p : {POINT{600, 400}, POINT{700, 400}, POINT{650, 470}})
        outline.Add(p);
    EXPECT_EQ(m_doc.AddPolygonAOI(outline), 0);
    std::unique_ptr<CAOI> polygon = std::make_unique<CAOI4>();
    ASSERT_TRUE(static_cast<CAOI4&>(*polygon).SetPolygon(outline));
    EXPECT_EQ(m_doc.AddAOI(polygon), 0);
    EXPECT_NE(polygon, nullptr) << "a refused AOI stays the caller's";
    EXPECT_EQ(m_doc.GetAOICount(), 4);

    CRPolygon inside;
    for (POINT p : {POINT{300, 300}, POINT{350, 300}, POINT{320, 350}})
        inside.Add(p);
    EXPECT_EQ(m_doc.AddPolygonAOI(inside), 1);
    EXPECT_EQ(m_doc.GetAOI(4)->GetType(), CAOI::typePolygon);
    CRPolygon twoPoints;
    twoPoints.Add(1, 1);
    twoPoints.Add(5, 5);
    EXPECT_EQ(m_doc.AddPolygonAOI(twoPoints), 0);

    m_doc.DeleteAOI(-1);
    m_doc.DeleteAOI(5);
    EXPECT_EQ(m_doc.GetAOICount(), 5);
    EXPECT_FALSE(m_doc.IsModified());
    m_doc.DeleteAOI(4);
    EXPECT_EQ(m_doc.GetAOICount(), 4);
    EXPECT_EQ(m_doc.GetActiveIndex(), 3);
    EXPECT_TRUE(m_doc.IsModified());
}

TEST(AOIDocImageTest, AOIsBeforeAnImageSizeAreTakenAsTheyAre)
{
    CAOIDoc doc;
    auto aoi = Rectangle(600, 100, 700, 150);
    ASSERT_EQ(doc.AddAOI(aoi), 1);
    EXPECT_EQ(doc.GetAOI(0)->GetRect(), CRect(600, 100, 700, 150));
}

TEST_F(AOIDocTest, ImageSizeChecksTheAOIs)
{
    EXPECT_EQ(m_doc.GetDefaultAOI().GetRect(), CRect(160, 120, 480, 360));
    m_doc.SetActiveAOI(0);
    m_doc.SetImageSize(80, 80, false);
    EXPECT_TRUE(m_doc.GetAOI(0)->m_bExcluded) << "right edge 100 lies outside";
    EXPECT_TRUE(m_doc.GetAOI(1)->m_bExcluded);
    EXPECT_FALSE(m_doc.GetAOI(2)->m_bExcluded);
    EXPECT_EQ(m_doc.GetActiveIndex(), 2);
    EXPECT_EQ(m_boxes->Texts(), (std::vector<CString>{"AOI is outside and deactivated!",
                                                      "AOI is outside and deactivated!"}));
    EXPECT_EQ(m_doc.GetDefaultAOI().GetRect(), CRect(20, 20, 60, 60));
    // An edge at the image width counts as outside.
    m_boxes->Clear();
    m_doc.SetImageSize(60, 61, true);
    EXPECT_TRUE(m_doc.GetAOI(2)->m_bExcluded);
    EXPECT_TRUE(m_boxes->Texts().empty());
    EXPECT_EQ(m_doc.GetActiveAOI(false), nullptr);
    m_doc.SetImageSize(640, 480, true);
    EXPECT_FALSE(m_doc.GetAOI(0)->m_bExcluded);
    EXPECT_NE(m_doc.GetActiveAOI(false), nullptr);

    m_doc.SetDefaultAOI(m_doc.GetAOI(1));
    EXPECT_EQ(m_doc.GetDefaultAOI().GetRect(), CRect(200, 10, 300, 100));
}

TEST_F(AOIDocTest, Drawing)
{
    m_doc.GetAOI(0)->m_nFunction = 0;
    m_doc.GetAOI(1)->m_nChannel = -1;
    m_doc.m_AOIColor = RGB(0, 0, 200);
    m_doc.m_ActiveColor = RGB(0, 200, 0);
    CRecordingDC dc;
    CTextLabel label;
    EXPECT_EQ(m_doc.DrawAOIs(&dc, label), 1);

    std::vector<COLORREF> lineColours;
    std::vector<CString> labels;
    for (const CDCRecord& record : dc.Records()) {
        if (record.op == "TextOut")
            labels.push_back(record.text);
        else if (record.op == "LineTo" && (lineColours.empty() || lineColours.back() != record.pen.lopnColor))
            lineColours.push_back(record.pen.lopnColor);
    }
    EXPECT_EQ(labels, (std::vector<CString>{"1", "2", "3"}));
    EXPECT_EQ(lineColours, (std::vector<COLORREF>{RGB(128, 128, 0), RGB(0, 0, 200), RGB(0, 200, 0)}));
    EXPECT_EQ(dc.GetCurrentLogPen().lopnColor, CRecordingDC().GetCurrentLogPen().lopnColor) << "the pen is restored";

    CAOIDoc empty;
    EXPECT_EQ(empty.DrawAOIs(&dc, label), 0);
}

TEST(AOIDocDrawTest, Arrow)
{
    CRecordingDC dc;
    CAOIDoc::DrawArrow(&dc, 0, 0, 10, 0);
    const CDCRecord& head = dc.Records().back();
    ASSERT_EQ(head.op, "Polyline");
    EXPECT_EQ(head.points, (std::vector<CPoint>{{10, 0}, {5, -2}, {5, 2}, {10, 0}}));
}

class AOIFileTest : public ::testing::Test
{
protected:
    std::string Path(const char* name) const { return m_folder / name; }

    CScratchFolder m_folder;
    kestrun::testing::ScopedMessageBoxes m_boxes;
    CAOIDoc m_doc;
};

TEST_F(AOIFileTest, CurrentVersionLoadsAndRoundTripsByteForByte)
{
    CBytes file;
    file.Word(15).Word(2);
    file.NewClass("CAOI2", 6).RectangleFields(10, 20, 30, 40, 6);
    file.Word(0x8001).RectangleFields(50, 60, 70, 80, 6);
    WriteBytes(Path("a.AOI"), file.Str());

    ASSERT_TRUE(m_doc.LoadAOIFile(Path("a.AOI").c_str()));
    ASSERT_EQ(m_doc.GetAOICount(), 2);
    EXPECT_EQ(m_doc.GetAOI(0)->GetRect(), CRect(10, 20, 40, 60));
    EXPECT_EQ(m_doc.GetAOI(1)->GetRect(), CRect(50, 60, 120, 140));
    EXPECT_FALSE(m_doc.GetAOI(0)->m_bModified);

    // Unchanged and saved to its own file: nothing is written.
    WriteBytes(Path("a.AOI"), "untouched");
    EXPECT_FALSE(m_doc.SaveAOIFile(Path("a.AOI").c_str()));
    EXPECT_EQ(ReadBytes(Path("a.AOI")), "untouched");

    // Saved under a new name, the areas get a file of their own.
    ASSERT_TRUE(m_doc.SaveAOIFile(Path("b.AOI").c_str()));
    EXPECT_EQ(ReadBytes(Path("b.AOI")), file.Str());
    EXPECT_FALSE(m_doc.SaveAOIFile(Path("b.AOI").c_str()));

    // A change is saved; so is a file that went missing.
    m_doc.DeleteAOI(0);
    EXPECT_TRUE(m_doc.SaveAOIFile(Path("b.AOI").c_str()));
    CAOIDoc reloaded;
    ASSERT_TRUE(reloaded.LoadAOIFile(Path("b.AOI").c_str()));
    EXPECT_EQ(reloaded.GetAOICount(), 1);
    std::remove(Path("b.AOI").c_str());
    EXPECT_TRUE(reloaded.SaveAOIFile(Path("b.AOI").c_str()));
}

TEST_F(AOIFileTest, Version14And12)
{
    CBytes v14;
    v14.Word(14).Word(1).NewClass("CAOI2", 6).RectangleFields(1, 2, 3, 4, 6);
    WriteBytes(Path("v14.AOI"), v14.Str());
    ASSERT_TRUE(m_doc.LoadAOIFile(Path("v14.AOI").c_str()));
    EXPECT_EQ(m_doc.GetAOICount(), 1);

    // Four lists, one per page, of records in an older schema; then two
    // arrays that are read and dropped (one refers back to an AOI).
    CBytes v12;
    v12.Word(12);
    v12.Word(1).NewClass("CAOI2", 5).RectangleFields(10, 20, 30, 40, 5);
    v12.Word(0);
    v12.Word(1).Word(0x8001).RectangleFields(50, 60, 70, 80, 5);
    v12.Word(0);
    v12.Word(1).Word(2);
    v12.Word(0);
    WriteBytes(Path("v12.AOI"), v12.Str());
    ASSERT_TRUE(m_doc.LoadAOIFile(Path("v12.AOI").c_str()));
    ASSERT_EQ(m_doc.GetAOICount(), 2);
    EXPECT_EQ(m_doc.GetAOI(0)->m_nChannel, 0);
    EXPECT_EQ(m_doc.GetAOI(0)->GetRect(), CRect(10, 20, 40, 60));
    EXPECT_EQ(m_doc.GetAOI(1)->m_nChannel, 2);
    EXPECT_EQ(m_doc.GetAOI(1)->GetRect(), CRect(50, 60, 120, 140));

    CBytes v11;
    v11.Word(11).Word(1).NewClass("CAOI2", 6).RectangleFields(1, 2, 3, 4, 6);
    v11.Word(0).Word(0).Word(0).Word(0);
    WriteBytes(Path("v11.AOI"), v11.Str());
    ASSERT_TRUE(m_doc.LoadAOIFile(Path("v11.AOI").c_str()));
    EXPECT_EQ(m_doc.GetAOICount(), 0);
}

TEST_F(AOIFileTest, MissingOrEmptyFileChangesNothing)
{
    m_doc.SetImageSize(640, 480, true);
    auto aoi = Rectangle(1, 1, 10, 10);
    m_doc.AddAOI(aoi);
    WriteBytes(Path("empty.AOI"), "");
    EXPECT_FALSE(m_doc.LoadAOIFile(Path("empty.AOI").c_str()));
    EXPECT_FALSE(m_doc.LoadAOIFile(Path("missing.AOI").c_str()));
    EXPECT_EQ(m_doc.GetAOICount(), 1);
    // One that is there but cannot be read is not taken for a missing one.
    std::filesystem::create_directories(Path("folder.AOI"));
    EXPECT_THROW(m_doc.LoadAOIFile(Path("folder.AOI").c_str()), CFileException);
    EXPECT_EQ(m_doc.GetAOICount(), 1);
}

// A damaged file raises the archive's exception and leaves the list.
TEST_F(AOIFileTest, DamagedFilesAreRefused)
{
    m_doc.SetImageSize(640, 480, true);
    auto aoi = Rectangle(1, 1, 10, 10);
    m_doc.AddAOI(aoi);
    const CAOI* before = m_doc.GetAOI(0);

    const CBytes one = [] {
        CBytes b;
        b.NewClass("CAOI2", 6).RectangleFields(10, 20, 30, 40, 6);
        return b;
    }();
    std::vector<std::pair<const char*, std::string>> files;
    files.emplace_back("count beyond the objects", CBytes().Word(15).Word(3).Str() + one.Str());
    files.emplace_back("huge count", CBytes().Word(15).Word(0xFFFF).Long(0x7FFFFFFF).Str() + one.Str());
    files.emplace_back("object listed twice", CBytes().Word(15).Word(2).Str() + one.Str() + CBytes().Word(2).Str());
    files.emplace_back("null entry", CBytes().Word(15).Word(1).Word(0).Str());
    files.emplace_back("not an AOI", CBytes().Word(15).Word(1).NewClass("CSegThres", 1).Str());
    files.emplace_back("unknown class", CBytes().Word(15).Word(1).NewClass("CNoSuchArea", 6).Str());
    files.emplace_back("truncated record", (CBytes().Word(15).Word(1).Str() + one.Str()).substr(0, 30));
    files.emplace_back("version 13", CBytes().Word(13).Word(0).Str());
    files.emplace_back("version 16", CBytes().Word(16).Word(0).Str());
    files.emplace_back("only a byte", "\x0F");
    for (const auto& [name, bytes] : files) {
        WriteBytes(Path("bad.AOI"), bytes);
        EXPECT_THROW(m_doc.LoadAOIFile(Path("bad.AOI").c_str()), CArchiveException) << name;
        ASSERT_EQ(m_doc.GetAOICount(), 1) << name;
        EXPECT_EQ(m_doc.GetAOI(0), before) << name;
    }
}

// Object lists of old layouts are read and dropped. Their entries may refer
// back to objects that live on, and later entries may refer to what was
// dropped; nothing may be freed twice, used after it went, or leak.
TEST_F(AOIFileTest, DroppedObjectListsFreeOnlyWhatTheyRead)
{
    const auto oldArea = [](CBytes b, int left) { return b.RectangleFields(left, 2, 3, 4, 3); };
    const std::string header = CBytes().Word(14).Word(1).NewClass("CAOI2", 3).Str();

    std::string deep = CBytes().Word(12).Word(0).Word(0).Word(0).Word(0).Word(1).NewClass("CObArray", 0).Word(1).Str();
    for (int level = 0; level < 100000; ++level)
        deep += CBytes().Word(0x8001).Word(1).Str();

    struct Case
    {
        const char* what;
        std::string bytes;
        int areas; // -1: refused
    };
    const Case cases[] = {
        {"old list refers to its own area", header + oldArea(CBytes(), 1).Word(1).Word(2).Str(), 1},
        {"area listed after it was dropped",
         CBytes().Word(14).Word(2).NewClass("CAOI2", 3).Str() + oldArea(CBytes(), 1).Word(1).Word(0x8001).Str() +
             oldArea(CBytes(), 5).Word(0).Word(3).Str(),
         -1},
        {"object arrays nested in a skipped list",
         CBytes().Word(12).Word(0).Word(0).Word(0).Word(0).Word(1).NewClass("CObArray", 0).Word(1).Word(0x8001).Word(1)
             .NewClass("CWordArray", 0).Word(0).Word(0).Str(),
         0},
        {"arrays nested without end", deep, -1},
    };
    for (const Case& c : cases) {
        WriteBytes(Path("old.AOI"), c.bytes);
        CAOIDoc doc;
        if (c.areas < 0) {
            EXPECT_THROW(doc.LoadAOIFile(Path("old.AOI").c_str()), CArchiveException) << c.what;
        } else {
            ASSERT_TRUE(doc.LoadAOIFile(Path("old.AOI").c_str())) << c.what;
            EXPECT_EQ(doc.GetAOICount(), c.areas) << c.what;
        }
    }
}
