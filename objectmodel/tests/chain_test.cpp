#include "objectmodel/chain8.h"
#include "objectmodel/pointtarget.h"

#include "platform/core/file.h"
#include "platform/core/recording_dc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;
using Codes = std::vector<int>;
using PointList = std::vector<std::pair<int, int>>;

CChain8 MakeChain(int x, int y, const Codes& codes)
{
    CChain8 chain;
    chain.SetStartPoint(x, y);
    for (const int code : codes)
        chain.Add(static_cast<BYTE>(code));
    return chain;
}

Codes CodesOf(const CChain& chain)
{
    return Codes(chain.begin(), chain.end());
}

class CRecordingTarget : public CPointTarget
{
public:
    void SetPoint(int x, int y, DWORD value) override
    {
        m_points.emplace_back(x, y);
        m_values.push_back(value);
    }
    PointList m_points;
    std::vector<DWORD> m_values;
};

PointList OutlineOf(const CChain8& chain)
{
    CRecordingTarget target;
    chain.ForEachPoint(target, 0);
    return target.m_points;
}

Bytes Store(CChain8& chain)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        chain.Serialize(ar);
        ar.Close();
    }
    return file.Data();
}

void Load(CChain8& chain, const Bytes& bytes)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    chain.Serialize(ar);
}

} // namespace

TEST(ChainTest, DirectionTable)
{
    const int steps[8][2] = {{1, 0}, {1, -1}, {0, -1}, {-1, -1}, {-1, 0}, {-1, 1}, {0, 1}, {1, 1}};
    for (int code = 0; code < 8; ++code) {
        EXPECT_EQ(CChain8::DirectionOf(5, 5, 5 + steps[code][0], 5 + steps[code][1]), code);
        const CPoint next = CChain8::StepPoint(code, 5, 5);
        EXPECT_EQ(next, CPoint(5 + steps[code][0], 5 + steps[code][1])) << code;
    }
    EXPECT_EQ(CChain8::DirectionOf(5, 5, 6, 4), 1);
    EXPECT_EQ(CChain8::DirectionOf(5, 5, 5, 5), -1);
    EXPECT_EQ(CChain8::DirectionOf(5, 5, 7, 5), -1);
    EXPECT_EQ(CChain8::DirectionOf(0, 0, 1, -2), -1);
    // Codes that are no direction walk east.
    EXPECT_EQ(CChain8::StepPoint(255, 5, 5), CPoint(6, 5));
    EXPECT_EQ(CChain8::StepPoint(8, 5, 5), CPoint(6, 5));
    EXPECT_EQ(CChain8::StepPoint(-1, 5, 5), CPoint(6, 5));
}

TEST(ChainTest, FromClosedPointList)
{
    struct Case
    {
        const char* what;
        std::vector<POINT> points;
        CPoint start;
        Codes codes;
    };
    const Case cases[] = {
        {"square of four pixels", {{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {0, 0}, {0, 6, 4, 2}},
        {"last point repeats the first", {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}, {0, 0}, {0, 6, 4, 2}},
        {"steps that are not neighbours", {{2, 3}, {5, 3}, {4, 4}}, {2, 3}, {255, 5, 255}},
        {"one point", {{7, 8}}, {7, 8}, {}},
        {"no points", {}, {0, 0}, {}},
    };
    for (const Case& c : cases) {
        CArray<POINT> points;
        for (const POINT& p : c.points)
            points.Add(p);
        const CChain8 chain(points);
        EXPECT_EQ(chain.m_nKind, 1) << c.what;
        EXPECT_EQ(chain.GetStartPoint(), c.start) << c.what;
        EXPECT_EQ(CodesOf(chain), c.codes) << c.what;
    }
    // The point arrays of the records build chains alike.
    CArray<POINT, POINT> byValue;
    byValue.Add({0, 0});
    byValue.Add({1, 1});
    EXPECT_EQ(CodesOf(CChain8(byValue)), (Codes{7, 3}));
}

TEST(ChainTest, CopyKeepsTheKind)
{
    const CChain8 source = MakeChain(3, 4, {0, 6, 4, 2});
    CChain plain;
    plain.Copy(source);
    EXPECT_EQ(plain.m_nKind, 0);
    EXPECT_EQ(CodesOf(plain), CodesOf(source));
    EXPECT_EQ(plain.GetStartPoint(), CPoint(3, 4));

    CChain8 copy(source);
    EXPECT_EQ(copy.m_nKind, 1);
    EXPECT_EQ(CodesOf(copy), CodesOf(source));

    CChain8 head = MakeChain(9, 9, {1, 1, 1, 1, 1});
    head.CopyHead(source, 2);
    EXPECT_EQ(CodesOf(head), (Codes{0, 6}));
    EXPECT_EQ(head.GetStartPoint(), CPoint(3, 4));

    EXPECT_THROW(head.CopyHead(source, 5), CInvalidArgException);
    EXPECT_THROW(head.CopyHead(source, -1), CInvalidArgException);
    EXPECT_EQ(CodesOf(head), (Codes{0, 6}));
}

TEST(ChainTest, WalkAndDraw)
{
    CRecordingTarget empty;
    MakeChain(4, 5, {}).ForEachPoint(empty, 7);
    EXPECT_EQ(empty.m_points, (PointList{{4, 5}}));

    const CChain8 chain = MakeChain(4, 5, {0, 6, 255});
    CRecordingTarget target;
    chain.ForEachPoint(target, 0xFFFFFF);
    EXPECT_EQ(target.m_points, (PointList{{4, 5}, {5, 5}, {5, 6}, {6, 6}}));
    EXPECT_EQ(target.m_values, std::vector<DWORD>(4, 0xFFFFFF));

    CRecordingDC dc;
    chain.Draw(&dc);
    EXPECT_EQ(dc.Ops(), (std::vector<CString>{"MoveTo", "LineTo", "LineTo", "LineTo"}));
    ASSERT_EQ(dc.Records().size(), 4u);
    EXPECT_EQ(dc.Records()[0].args, (std::vector<int>{4, 5}));
    EXPECT_EQ(dc.Records()[3].args, (std::vector<int>{6, 6}));
    EXPECT_THROW(chain.Draw(nullptr), CInvalidArgException);
}

TEST(ChainTest, BinaryForm)
{
    CChain8 chain = MakeChain(2, -1, {0, 6, 4});
    const Bytes bytes = Store(chain);
    EXPECT_EQ(bytes, (Bytes{0x02, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x03, 0x00, 0x00, 0x06, 0x04}));

    CChain8 loaded;
    Load(loaded, bytes);
    EXPECT_EQ(loaded.GetStartPoint(), CPoint(2, -1));
    EXPECT_EQ(CodesOf(loaded), (Codes{0, 6, 4}));
    EXPECT_EQ(loaded.m_nKind, 1);

    // A long chain takes the long count form.
    CChain8 longChain = MakeChain(0, 0, Codes(70000, 7));
    CChain8 longLoaded;
    Load(longLoaded, Store(longChain));
    EXPECT_EQ(CodesOf(longLoaded), Codes(70000, 7));
}

TEST(ChainTest, BadFilesChangeNothing)
{
    CChain8 source = MakeChain(2, -1, {0, 6, 4});
    const Bytes good = Store(source);
    std::vector<Bytes> bad;
    for (size_t cut = 0; cut < good.size(); ++cut)
        bad.emplace_back(good.begin(), good.begin() + static_cast<long>(cut));
    // A count far beyond the bytes left is refused before anything is allocated.
    bad.push_back({0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2});

    for (const Bytes& bytes : bad) {
        CChain8 chain = MakeChain(9, 9, {1, 2});
        try {
            Load(chain, bytes);
            ADD_FAILURE() << bytes.size();
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::endOfFile) << bytes.size();
        }
        EXPECT_EQ(chain.GetStartPoint(), CPoint(9, 9));
        EXPECT_EQ(CodesOf(chain), (Codes{1, 2}));
    }
}

TEST(ChainTest, Compact)
{
    CChain8 chain = MakeChain(1, 2, {5, 5});
    const std::vector<INT> work = {-1, -1, 3, -1, 9, 0, 15, -1};
    EXPECT_EQ(chain.Compact(work), 4);
    EXPECT_EQ(CodesOf(chain), (Codes{3, 1, 0, 7}));
    EXPECT_EQ(chain.GetStartPoint(), CPoint(1, 2));
    EXPECT_EQ(chain.Compact(std::vector<INT>{-1}), 0);
    EXPECT_TRUE(chain.IsEmpty());
}

TEST(ChainTest, SmoothCases)
{
    struct Case
    {
        const char* what;
        CPoint start;
        Codes codes;
        int passes;
        int tolerance;
        CPoint expectedStart;
        Codes expected;
    };
    const Codes square = {0, 0, 6, 6, 4, 4, 2, 2};
    const Case cases[] = {
        {"right angles cut to diagonals, the start corner too", {0, 0}, square, 1, 2, {1, 0}, {7, 5, 3, 1}},
        {"right angles above the tolerance stay", {0, 0}, square, 3, 1, {0, 0}, square},
        {"reversals go, also across the start", {0, 0}, {0, 0, 0, 4, 4, 4}, 1, 0, {1, 0}, {0, 4}},
        {"45-degree staircase straightened within a run", {0, 0}, {0, 1, 1, 2, 5, 5, 5}, 0, 4, {1, -1}, {1, 1, 5, 5}},
        {"run too long for the tolerance; 135-degree turns cut", {0, 0}, {0, 1, 1, 2, 5, 5, 5}, 0, 3, {1, 0}, {1, 1, 4, 5, 6}},
        {"diagonal corner at the start turned into two axis steps",
         {0, 0},
         {3, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 0, 0, 1, 1, 1},
         0,
         2,
         {-1, 0},
         {2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 0, 0, 1, 1, 2}},
    };
    for (const Case& c : cases) {
        CChain8 chain = MakeChain(c.start.x, c.start.y, c.codes);
        EXPECT_EQ(chain.Smooth(c.passes, c.tolerance, static_cast<int>(c.codes.size())), static_cast<int>(c.expected.size()))
            << c.what;
        EXPECT_EQ(CodesOf(chain), c.expected) << c.what;
        EXPECT_EQ(chain.GetStartPoint(), c.expectedStart) << c.what;
    }

    CChain8 chain = MakeChain(0, 0, square);
    EXPECT_THROW(chain.Smooth(1, 2, 9), CInvalidArgException);
    EXPECT_THROW(chain.Smooth(1, 2, -1), CInvalidArgException);
    EXPECT_EQ(CodesOf(chain), square);
}

// Random closed outlines: smoothing keeps them closed, and where it only
// cuts corners (tolerance up to 1) every point it keeps is an old one.
TEST(ChainTest, SmoothKeepsOutlinesClosedAndInPlace)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 400; ++round) {
        Codes codes;
        CPoint at(0, 0);
        const int outward = 3 + static_cast<int>(random() % 30);
        for (int i = 0; i < outward; ++i) {
            const int code = static_cast<int>(random() % 8);
            codes.push_back(code);
            at = CChain8::StepPoint(code, at.x, at.y);
        }
        while (at != CPoint(0, 0)) {
            const int code = CChain8::DirectionOf(at.x, at.y, at.x - (at.x > 0) + (at.x < 0), at.y - (at.y > 0) + (at.y < 0));
            codes.push_back(code);
            at = CChain8::StepPoint(code, at.x, at.y);
        }
        const int tolerance = round % 6;
        const int passes = (round / 6) % 4;

        const CChain8 original = MakeChain(10, 20, codes);
        CChain8 chain(original);
        const int count = chain.Smooth(passes, tolerance, static_cast<int>(codes.size()));
        ASSERT_EQ(count, chain.GetSize());
        ASSERT_LE(count, static_cast<int>(codes.size()));

        const PointList outline = OutlineOf(chain);
        EXPECT_EQ(outline.front(), outline.back()) << "round " << round;
        for (const BYTE code : chain)
            EXPECT_LE(code, 7);
        if (tolerance <= 1) {
            const PointList before = OutlineOf(original);
            const std::set<std::pair<int, int>> old(before.begin(), before.end());
            for (const auto& point : outline)
                EXPECT_TRUE(old.contains(point)) << "round " << round << " point " << point.first << "," << point.second;
        }
    }
}
