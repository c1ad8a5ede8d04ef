// Areas of interest in the binary archive: every kind round-trips, older
// schemas load, and damaged records are refused before anything is
// allocated for them.

#include "analysis/aoi.h"
#include "analysis/tests/aoiruns.h"
#include "analysis/aoiraster.h"

#include "outside/pixmere/dib.h"
#include "platform/core/archive.h"
#include "platform/core/file.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

Bytes Store(const std::vector<const CAOI*>& areas)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        for (const CAOI* aoi : areas)
            ar.WriteObject(aoi);
        ar.Close();
    }
    return file.Data();
}

std::vector<std::unique_ptr<CAOI>> Load(const Bytes& bytes, size_t count)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    std::vector<std::unique_ptr<CAOI>> areas;
    for (size_t i = 0; i < count; ++i)
        areas.emplace_back(static_cast<CAOI*>(ar.ReadObject(RUNTIME_CLASS(CAOI))));
    return areas;
}

std::unique_ptr<CDIB> Pattern(int width, int height, int bits)
{
    auto page = std::make_unique<CDIB>();
    EXPECT_TRUE(page->InitDIB(width, height, bits));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            page->SetPixel(x, y, bits == 8 ? RGB(x * 40 + y, x * 40 + y, x * 40 + y) : RGB(x * 50, y * 60, x + y));
    return page;
}

// Little-endian pieces of a hand-made record.
struct Writer
{
    Bytes bytes;
    Writer& Word(int v)
    {
        bytes.push_back(static_cast<BYTE>(v & 0xFF));
        bytes.push_back(static_cast<BYTE>((v >> 8) & 0xFF));
        return *this;
    }
    Writer& Int(std::int32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<BYTE>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF));
        return *this;
    }
    Writer& Double(double v)
    {
        BYTE raw[8];
        std::memcpy(raw, &v, 8);
        bytes.insert(bytes.end(), raw, raw + 8);
        return *this;
    }
    Writer& NewClass(const char* name, int schema)
    {
        Word(0xFFFF).Word(schema).Word(static_cast<int>(std::strlen(name)));
        bytes.insert(bytes.end(), name, name + std::strlen(name));
        return *this;
    }
    // The base part up to the angle: class reference, type, rectangle, angle.
    Writer& Base(int classIndex, int type, int left, int top, int width, int height, double angle = 0.0)
    {
        return Word(0x8000 | classIndex).Word(type).Int(left).Int(top).Int(width).Int(height).Double(angle);
    }
};

void PatchInt(Bytes& bytes, size_t offset, std::int32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + static_cast<size_t>(i)] = static_cast<BYTE>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
}

// Offsets in a stored CAOI2 that is the first object of its archive.
constexpr size_t kClassRecord = 11; // 0xFFFF, schema, name length, "CAOI2"
constexpr size_t kLeft = kClassRecord + 4;
constexpr size_t kWidth = kLeft + 8;
constexpr size_t kFlag = kWidth + 16;
constexpr size_t kPatternCount = kFlag + 2;
constexpr size_t kPatternWidth = kPatternCount + 4;

} // namespace

TEST(AOISerializeTest, EveryKindRoundTrips)
{
    CAOI2 rectangle(CRect(10, 20, 70, 60));
    rectangle.m_nFlag = 0;
    rectangle.CreateRaster(3, 2, 4);
    rectangle.AddPattern(Pattern(5, 3, 8), 11);
    rectangle.AddPattern(Pattern(4, 2, 24), 22);

    CAOI3 parallelogram;
    parallelogram.SetFromPoints({5, 5}, {40, 12}, {30, 40});

    CRPolygon outline;
    for (const POINT& p : {POINT{0, 0}, POINT{30, 0}, POINT{30, 8}, POINT{10, 8}, POINT{10, 30}, POINT{0, 30}})
        outline.Add(p);
    outline.Offset(100, 50);
    CAOI4 polygon;
    ASSERT_TRUE(polygon.SetPolygon(outline));

    CAOIRing ring;
    ring.SetRingWidth(6);
    ring.SetFromCorners(200, 100, 260, 140);

    CAOIEllipse ellipse;
    ellipse.SetFromCorners(0, 0, 41, 23);
    CAOIEllipse turned;
    turned.SetFromCorners(300, 300, 361, 321);
    turned.SetAngle(0.7);

    // The ring stores its ellipses before the first ellipse object: the
    // ellipse class is then a known class for the later objects.
    const std::vector<const CAOI*> areas = {&rectangle, &parallelogram, &polygon, &ring, &ellipse, &turned};
    const auto loaded = Load(Store(areas), areas.size());

    for (size_t i = 0; i < areas.size(); ++i) {
        ASSERT_NE(loaded[i], nullptr);
        EXPECT_EQ(loaded[i]->GetRuntimeClass(), areas[i]->GetRuntimeClass()) << i;
        EXPECT_EQ(loaded[i]->GetType(), areas[i]->GetType()) << i;
        EXPECT_EQ(loaded[i]->GetRect(), areas[i]->GetRect()) << i;
        EXPECT_EQ(loaded[i]->GetAngle(), areas[i]->GetAngle()) << i;
        EXPECT_EQ(Runs(*loaded[i]), Runs(*areas[i])) << i;
        EXPECT_EQ(loaded[i]->GetPixelCount(), areas[i]->GetPixelCount()) << i;
    }

    const CAOI& r = *loaded[0];
    EXPECT_EQ(r.m_nFlag, 0);
    ASSERT_NE(r.GetRaster(), nullptr);
    EXPECT_EQ(r.GetRaster()->GetColumns(), 3);
    EXPECT_EQ(r.GetRaster()->GetRows(), 2);
    EXPECT_EQ(r.GetRaster()->GetFrame(), 4);
    EXPECT_EQ(r.GetRaster()->GetAt(5).GetRect(), rectangle.GetRaster()->GetAt(5).GetRect());
    ASSERT_EQ(r.GetPatternCount(), 2);
    EXPECT_EQ(r.GetPatternWord(0), 11);
    EXPECT_EQ(r.GetPatternWord(1), 22);
    for (int k = 0; k < 2; ++k) {
        const CDIB& original = *rectangle.GetPattern(k);
        const CDIB& copy = *r.GetPattern(k);
        ASSERT_EQ(copy.GetWidth(), original.GetWidth());
        ASSERT_EQ(copy.GetHeight(), original.GetHeight());
        ASSERT_EQ(copy.GetBitCount(), original.GetBitCount());
        for (int y = 0; y < copy.GetHeight(); ++y)
            for (int x = 0; x < copy.GetWidth(); ++x)
                EXPECT_EQ(copy.GetPixel(x, y), original.GetPixel(x, y)) << k << " (" << x << "," << y << ")";
    }

    const auto& p = static_cast<const CAOI3&>(*loaded[1]);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(p.GetCorner(i), parallelogram.GetCorner(i)) << i;
    const auto& q = static_cast<const CAOI4&>(*loaded[2]);
    ASSERT_EQ(q.GetPolygon().GetSize(), polygon.GetPolygon().GetSize());
    const auto& g = static_cast<const CAOIRing&>(*loaded[3]);
    EXPECT_EQ(g.GetRingWidth(), 6);
    EXPECT_EQ(g.GetInner().GetRect(), ring.GetInner().GetRect());
    const auto& t = static_cast<const CAOIEllipse&>(*loaded[5]);
    EXPECT_EQ(t.GetAxisWidth(), 61);
    EXPECT_EQ(t.GetAxisHeight(), 21);
}

TEST(AOISerializeTest, RectangleLayout)
{
    const CAOI2 a(CRect(-3, 4, 17, 34));
    const Bytes expected = Writer()
                               .NewClass("CAOI2", 6)
                               .Base(1, 2, -3, 4, 20, 30)
                               .Word(1)   // flag
                               .Int(0)    // patterns
                               .Word(0)   // raster columns
                               .Word(0)   // raster rows
                               .Word(0)   // raster frame
                               .Word(0)   // pattern words
                               .bytes;
    EXPECT_EQ(Store({&a}), expected);
}

TEST(AOISerializeTest, OlderSchemasLoad)
{
    // Schema 2: no flag, no patterns, no raster.
    const Bytes two = Writer().NewClass("CAOI2", 2).Base(1, 2, 5, 6, 30, 40).bytes;
    auto loaded = Load(two, 1);
    EXPECT_EQ(loaded[0]->GetRect(), CRect(5, 6, 35, 46));
    EXPECT_EQ(loaded[0]->m_nFlag, 1);

    // Schema 3: the flag, then an object list that is dropped.
    Writer three;
    three.NewClass("CAOI2", 3).Base(1, 2, 5, 6, 30, 40).Word(0);
    three.Word(2).Word(0);                                   // two objects: a null,
    three.NewClass("CWordArray", 0).Word(2).Word(5).Word(6); // and a word list
    three.Word(0).Word(0);                                   // not read: no raster at schema 3
    CMemFile file(three.bytes.data(), static_cast<UINT>(three.bytes.size()));
    {
        CArchive ar(&file, CArchive::load);
        std::unique_ptr<CAOI> aoi(static_cast<CAOI*>(ar.ReadObject(RUNTIME_CLASS(CAOI))));
        EXPECT_EQ(aoi->m_nFlag, 0);
        EXPECT_EQ(aoi->GetPatternCount(), 0);
        EXPECT_EQ(aoi->GetRaster(), nullptr);
        EXPECT_EQ(ar.BytesLeft(), 4u);
    }

    // Schema 4: patterns and their words, no raster.
    Writer four;
    four.NewClass("CAOI2", 4).Base(1, 2, 5, 6, 30, 40).Word(1).Int(1);
    four.Int(2).Int(1).Int(1).bytes.insert(four.bytes.end(), {7, 9});
    four.Word(1).Word(42);
    loaded = Load(four.bytes, 1);
    ASSERT_EQ(loaded[0]->GetPatternCount(), 1);
    EXPECT_EQ(loaded[0]->GetPattern(0)->GetWidth(), 2);
    EXPECT_EQ(loaded[0]->GetPattern(0)->GetPixel(1, 0), RGB(9, 9, 9));
    EXPECT_EQ(loaded[0]->GetPatternWord(0), 42);

    // Schema 5: a raster without a frame.
    const Bytes five =
        Writer().NewClass("CAOI2", 5).Base(1, 2, 10, 10, 60, 40).Word(1).Int(0).Word(2).Word(2).Word(0).bytes;
    loaded = Load(five, 1);
    ASSERT_NE(loaded[0]->GetRaster(), nullptr);
    EXPECT_EQ(loaded[0]->GetRaster()->GetSize(), 4);
    EXPECT_EQ(loaded[0]->GetRaster()->GetFrame(), 0);

    // An ellipse record of schema 1 carries no axes: they follow the rectangle.
    const Bytes ellipse = Writer().NewClass("CAOIEllipse", 1).Base(1, 5, 0, 0, 21, 11).Word(0x8001).bytes;
    loaded = Load(ellipse, 1);
    CAOIEllipse fresh;
    fresh.SetFromCorners(0, 0, 21, 11);
    EXPECT_EQ(Runs(*loaded[0]), Runs(fresh));

    // A stored angle is applied to the outline.
    const Bytes turned = Writer().NewClass("CAOIEllipse", 6).Base(1, 5, 0, 0, 99, 99, 0.4)
                             .Word(1).Int(0).Word(0).Word(0).Word(0).Word(0)
                             .Word(0x8001).Int(41).Int(15).bytes;
    loaded = Load(turned, 1);
    CAOIEllipse expected;
    expected.SetFromCorners(0, 0, 41, 15);
    expected.SetAngle(0.4);
    EXPECT_EQ(loaded[0]->GetRect(), expected.GetRect());
    EXPECT_EQ(Runs(*loaded[0]), Runs(expected));
}

TEST(AOISerializeTest, TruncatedRecordsAreRefused)
{
    CAOI2 rectangle(CRect(10, 20, 70, 60));
    rectangle.CreateRaster(2, 2, 3);
    rectangle.AddPattern(Pattern(3, 2, 24), 5);
    CAOIRing ring;
    ring.SetFromCorners(0, 0, 40, 30);
    CAOI3 parallelogram;
    parallelogram.SetFromPoints({0, 0}, {20, 5}, {25, 30});
    CRPolygon outline;
    for (const POINT& p : {POINT{0, 0}, POINT{20, 0}, POINT{10, 15}})
        outline.Add(p);
    CAOI4 polygon;
    polygon.SetPolygon(outline);

    for (const CAOI* aoi : std::vector<const CAOI*>{&rectangle, &ring, &parallelogram, &polygon}) {
        const Bytes full = Store({aoi});
        ASSERT_NO_THROW(Load(full, 1));
        for (size_t length = 0; length < full.size(); ++length) {
            const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
            EXPECT_THROW(Load(cut, 1), CArchiveException) << aoi->GetRuntimeClass()->m_lpszClassName << " cut at " << length;
        }
    }
}

TEST(AOISerializeTest, ImplausibleSizesAreRefusedBeforeAllocating)
{
    CAOI2 a(CRect(10, 20, 70, 60));
    a.AddPattern(Pattern(3, 2, 24), 5);
    const Bytes good = Store({&a});

    struct Patch
    {
        const char* what;
        size_t offset;
        std::int32_t value;
    };
    const Patch patches[] = {
        {"pattern of 65535 x 65535", kPatternWidth, 65535},
        {"pattern count beyond the file", kPatternCount, 0x7FFFFFFF},
        {"negative pattern count", kPatternCount, -1},
        {"pattern width 0", kPatternWidth, 0},
        {"pattern width too large", kPatternWidth, 70000},
        {"four bytes per pixel", kPatternWidth + 8, 4},
        {"negative width", kWidth, -5},
        {"width beyond any image", kWidth, 1 << 20},
        {"left far outside", kLeft, 1 << 30},
        {"most negative left", kLeft, INT32_MIN},
    };
    for (const Patch& patch : patches) {
        Bytes bytes = good;
        PatchInt(bytes, patch.offset, patch.value);
        if (patch.offset == kPatternWidth && patch.value == 65535)
            PatchInt(bytes, kPatternWidth + 4, 65535);
        EXPECT_THROW(Load(bytes, 1), CArchiveException) << patch.what;
    }

    // A raster of 65535 x 65535 cells.
    const Bytes raster = Writer().NewClass("CAOI2", 6).Base(1, 2, 0, 0, 10, 10).Word(1).Int(0)
                             .Word(0xFFFF).Word(0xFFFF).Word(0).Word(0).bytes;
    EXPECT_THROW(Load(raster, 1), CArchiveException);

    // Shapes whose own fields do not fit their rectangle.
    const Bytes ellipse = Writer().NewClass("CAOIEllipse", 6).Base(1, 5, 0, 0, 10, 10)
                              .Word(1).Int(0).Word(0).Word(0).Word(0).Word(0)
                              .Word(0x8001).Int(1 << 24).Int(10).bytes;
    EXPECT_THROW(Load(ellipse, 1), CArchiveException);
    Writer corners;
    corners.NewClass("CAOI3", 6).Base(1, 3, 0, 0, 10, 10).Word(1).Int(0).Word(0).Word(0).Word(0).Word(0);
    for (int v : {0, 0, 9, 0, 9, 500, 0, 9})
        corners.Int(v);
    EXPECT_THROW(Load(corners.bytes, 1), CArchiveException);

    CRPolygon outline;
    for (const POINT& p : {POINT{0, 0}, POINT{20, 0}, POINT{10, 15}})
        outline.Add(p);
    CAOI4 polygon;
    polygon.SetPolygon(outline);
    Bytes shifted = Store({&polygon});
    PatchInt(shifted, kWidth, 5); // the outline no longer fits
    EXPECT_THROW(Load(shifted, 1), CArchiveException);
}

// A record that loads must answer for every row of its rectangle; one whose
// rows cannot be built is refused instead.
TEST(AOISerializeTest, LoadedShapesAnswerForEveryRow)
{
    const auto tail = [](Writer w) { return w.Word(1).Int(0).Word(0).Word(0).Word(0).Word(0); };

    Writer flatParallelogram = tail(Writer().NewClass("CAOI3", 6).Base(1, 3, 0, 0, 0, 10));
    for (int v : {0, 0, 0, 3, 0, 9, 0, 6})
        flatParallelogram.Int(v);
    EXPECT_THROW(Load(flatParallelogram.bytes, 1), CArchiveException);

    // Turned ellipses with one axis of zero: nothing to turn.
    for (const auto& [axisWidth, axisHeight] : {std::pair{0, 21}, std::pair{61, 0}}) {
        const Bytes ellipse = tail(Writer().NewClass("CAOIEllipse", 6).Base(1, 5, 300, 300, 49, 43, 0.7))
                                  .Word(0x8001)
                                  .Int(axisWidth)
                                  .Int(axisHeight)
                                  .bytes;
        const auto loaded = Load(ellipse, 1);
        ASSERT_NE(loaded[0], nullptr);
        EXPECT_NO_THROW((void)loaded[0]->GetPixelCount()) << axisWidth << " x " << axisHeight;
    }

    // The largest box holds more pixels than an int counts.
    const auto largest = Load(tail(Writer().NewClass("CAOI2", 6).Base(1, 2, 0, 0, 65535, 65535)).bytes, 1);
    EXPECT_EQ(largest[0]->GetPixelCount(), INT32_MAX);
}
