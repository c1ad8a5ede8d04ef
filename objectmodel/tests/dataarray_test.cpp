#include "objectmodel/dataarray.h"
#include "objectmodel/datafilter.h"
#include "seriesbytes.h"

#include "seriesvalues.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

CDataArray MakeSeries(int type, std::initializer_list<double> values, bool ring = false)
{
    CDataArray series(type);
    for (double v : values)
        series.AddDouble(v);
    series.SetRing(ring ? TRUE : FALSE);
    return series;
}

using seriestest::Values;

std::string ReadText(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::filesystem::path TempPath(const char* name)
{
    return std::filesystem::path(std::getenv("KESTRUN_DATA_ROOT")) / name;
}

} // namespace

// --- values and their types ------------------------------------------------------

TEST(DataArrayValues, AppendsConvertToTheValueType)
{
    struct Case
    {
        int type;
        bool asInt;
        double in;
        double stored;
    } cases[] = {
        {CDataArray::typeShort, true, 70000, 4464},  // only the low 16 bits
        {CDataArray::typeShort, true, -1, -1},       // read back signed
        {CDataArray::typeLong, true, -123456, -123456},
        {CDataArray::typeFloat, true, 7, 7},         // kept, not lost in another array
        {CDataArray::typeDouble, true, -9, -9},
        {CDataArray::typeShort, false, -2.7, -2},    // truncated toward zero
        {CDataArray::typeLong, false, 3.9, 3},
        {CDataArray::typeLong, false, 1e12, 2147483647},
        {CDataArray::typeFloat, false, 0.1, static_cast<double>(0.1f)},
        {CDataArray::typeDouble, false, 0.1, 0.1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " value " << c.in);
        CDataArray series(c.type);
        EXPECT_TRUE(series.AddDouble(1.0));
        EXPECT_TRUE(c.asInt ? series.AddInt(static_cast<int>(c.in)) : series.AddDouble(c.in));
        EXPECT_EQ(series.GetSize(), 2);
        EXPECT_EQ(series.GetUsedCount(), 2);
        EXPECT_EQ(series.GetRowCount(), 2);
        EXPECT_EQ(series.GetAt(1), c.stored);
    }
}

TEST(DataArrayValues, TypeWithoutValuesStoresNothing)
{
    CDataArray series(4);
    EXPECT_FALSE(series.AddInt(1));
    EXPECT_FALSE(series.AddDouble(1.0));
    EXPECT_EQ(series.GetUsedCount(), 0);
    EXPECT_EQ(series.GetSize(), 0);
    EXPECT_EQ(series.GetAt(0), 0.0);
}

TEST(DataArrayValues, ReadsClampTheIndexAndRefuseAnEmptySeries)
{
    const CDataArray series = MakeSeries(CDataArray::typeLong, {10, 11, 12, 13, 14});
    EXPECT_EQ(series.GetAt(7), 14);
    EXPECT_EQ(series.GetAt(-3), 10);
    CDataArray empty(CDataArray::typeDouble);
    EXPECT_THROW(empty.GetAt(0), CInvalidArgException);
}

TEST(DataArrayValues, ExtendedIndexReflectsOrWraps)
{
    struct Case
    {
        bool ring;
        int index;
        double value;
    } cases[] = {
        {false, -1, 1}, {false, 5, 3}, {false, 6, 2}, {false, -7, 1}, {false, 2, 2},
        {true, -1, 4},  {true, 5, 0},  {true, 12, 2}, {true, -11, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.ring ? "ring " : "open ") << c.index);
        const CDataArray series = MakeSeries(CDataArray::typeShort, {0, 1, 2, 3, 4}, c.ring);
        EXPECT_EQ(series.GetAtExtended(c.index), c.value);
    }
}

TEST(DataArrayValues, EmptyRingRefusesWrappedAccessInsteadOfLooping)
{
    CDataArray ring(CDataArray::typeFloat);
    ring.SetRing(TRUE);
    EXPECT_THROW(ring.GetAtExtended(3), CInvalidArgException);
    EXPECT_THROW(ring.SetAtWrapped(-2, 1.0), CInvalidArgException);
    ring.Smooth(5);
    ring.Negate();
    EXPECT_EQ(ring.GetUsedCount(), 0);
}

TEST(DataArrayValues, SetAtWrappedWritesInsideTheArrayOnly)
{
    CDataArray series(CDataArray::typeShort);
    series.SetSize(4);
    series.SetAtWrapped(2, 7.9);
    EXPECT_EQ(series.GetAt(2), 7);
    EXPECT_EQ(series.GetWritePos(), 2);
    series.SetAtWrapped(0, -1.5);
    EXPECT_EQ(series.GetWritePos(), 2); // never moves back
    EXPECT_EQ(series.GetAt(0), -1);

    EXPECT_THROW(series.SetAtWrapped(4, 1.0), CInvalidArgException);
    EXPECT_EQ(series.GetWritePos(), 2); // a refused write changes nothing

    series.SetRing(TRUE);
    series.SetAtWrapped(-1, 5.0);
    series.SetAtWrapped(6, 6.0);
    EXPECT_EQ(series.GetAt(3), 5);
    EXPECT_EQ(series.GetAt(2), 6);
    EXPECT_EQ(series.GetWritePos(), 3);
}

TEST(DataArrayValues, BorrowedLongsServeReadsLengthAndClearing)
{
    CArray<LONG, LONG> outside;
    for (LONG v : {5, 6, 7})
        outside.Add(v);
    CDataArray series(CDataArray::typeLong);
    series.AddInt(1);
    series.SetBorrowedLongs(&outside);
    EXPECT_EQ(series.GetSize(), 3);
    EXPECT_EQ(series.GetAt(2), 7);
    series.ClearAll();
    EXPECT_EQ(outside[1], 0);
    series.SetBorrowedLongs(nullptr);
    EXPECT_EQ(series.GetAt(0), 1);
}

// --- axis -------------------------------------------------------------------------

TEST(DataArrayAxis, SnapXAndTheXKinds)
{
    struct Case
    {
        int length;
        double x;
        double snapped;
    } cases[] = {{10, 2.6, 3.0}, {3, 2.6, 2.0}, {10, 2.4, 2.0}, {10, 0.0, 0.0}};
    for (const Case& c : cases) {
        CDataArray series(CDataArray::typeDouble);
        series.SetSize(c.length);
        EXPECT_EQ(series.SnapX(c.x), c.snapped) << c.length << " " << c.x;
    }

    CDataArray series = MakeSeries(CDataArray::typeDouble, {4, 5, 6});
    series.SetX0(10.0);
    series.SetDX(0.5);
    EXPECT_EQ(series.SnapX(10.6), 10.5);
    EXPECT_EQ(series.GetXByKind(2, 0), 2.0);
    EXPECT_EQ(series.GetXByKind(2, 1), 11.0);
    EXPECT_EQ(series.GetXByKind(2, 2), 6.0);
    EXPECT_EQ(series.GetXByKind(2, 3), -1.0);
    EXPECT_EQ(series.GetXKindName(7), CString("Undef"));

    CStringArray names;
    CWordArray codes;
    codes.Add(99);
    series.GetXKinds(names, codes);
    ASSERT_EQ(names.GetSize(), 3);
    ASSERT_EQ(codes.GetSize(), 3);
    EXPECT_EQ(names[1], CString("PosX"));
    EXPECT_EQ(codes[2], 2);
}

TEST(DataArrayAxis, ResetRestoresTheDefaultStepAndEmpties)
{
    CDataArray series = MakeSeries(CDataArray::typeFloat, {1, 2});
    series.SetDefaultDX(0.25);
    series.SetDX(3.0);
    series.Reset();
    EXPECT_EQ(series.GetDX(), 0.25);
    EXPECT_EQ(series.GetSize(), 0);
    EXPECT_EQ(series.GetUsedCount(), 0);
}

TEST(DataArrayAxis, AssignCopiesAndCompatibilityNeedsSameKindTypeAndStep)
{
    CDataArray source = MakeSeries(CDataArray::typeDouble, {1.5, 2.5, 3.5}, true);
    source.SetX0(2.0);
    source.SetDX(0.5);
    CDataArray copy(CDataArray::typeShort);
    copy.AddInt(9);
    copy.Assign(source);
    EXPECT_EQ(copy.GetValueType(), CDataArray::typeDouble);
    EXPECT_TRUE(copy.IsRing());
    EXPECT_EQ(copy.GetXAt(1), 2.5);
    EXPECT_EQ(Values(copy), Values(source));
    EXPECT_EQ(copy.GetUsedCount(), 3);
    EXPECT_TRUE(copy.IsCompatible(source));

    copy.SetDX(0.25);
    EXPECT_FALSE(copy.IsCompatible(source));
    CDataFilter filtered(CDataArray::typeDouble);
    filtered.SetDX(0.5);
    EXPECT_FALSE(filtered.IsCompatible(source)); // another record kind
}

// --- whole-series operations ------------------------------------------------------

TEST(DataArrayOperations, SortKeepsTheUnsignedOrderOfIntegers)
{
    CDataArray shorts = MakeSeries(CDataArray::typeShort, {-1, 1});
    shorts.SortAscending();
    EXPECT_EQ(Values(shorts), (std::vector<double>{1, -1}));

    CDataArray longs = MakeSeries(CDataArray::typeLong, {-5, 3, 0});
    longs.SortAscending();
    EXPECT_EQ(Values(longs), (std::vector<double>{0, 3, -5}));

    CDataArray reals = MakeSeries(CDataArray::typeDouble, {2.5, -1, 0, 9});
    reals.SetSize(6); // values beyond the used count stay where they are
    reals.SetAtWrapped(5, -7);
    reals.RewindWrite();
    reals.AddDouble(3);
    reals.AddDouble(1);
    reals.SortAscending();
    EXPECT_EQ(Values(reals), (std::vector<double>{1, 3, 0, 9, 0, -7}));
}

TEST(DataArrayOperations, SmoothUsesReflectedOrWrappedNeighbours)
{
    CDataArray open = MakeSeries(CDataArray::typeDouble, {0, 3, 6});
    open.Smooth(3);
    EXPECT_EQ(Values(open), (std::vector<double>{2, 3, 4}));

    CDataArray ring = MakeSeries(CDataArray::typeDouble, {0, 3, 6}, true);
    ring.Smooth(3);
    EXPECT_EQ(Values(ring), (std::vector<double>{3, 3, 3}));

    CDataArray untouched = MakeSeries(CDataArray::typeDouble, {0, 3, 6});
    untouched.Smooth(0);
    EXPECT_EQ(Values(untouched), (std::vector<double>{0, 3, 6}));
}

TEST(DataArrayOperations, FillEndsAndNegate)
{
    CDataArray series = MakeSeries(CDataArray::typeShort, {1, 2, 3, 4, 5, 6, 7});
    series.FillEnds(4);
    EXPECT_EQ(Values(series), (std::vector<double>{3, 3, 3, 4, 5, 3, 3}));
    series.FillEnds(7); // not shorter than the series: nothing
    series.Negate();
    EXPECT_EQ(Values(series), (std::vector<double>{-3, -3, -3, -4, -5, -3, -3}));
}

TEST(DataArrayOperations, MinMaxKeepsTheFirstOccurrence)
{
    const CDataArray series = MakeSeries(CDataArray::typeFloat, {2, 1, 1, 5, 5});
    double min = -1, max = -1, iMin = -1, iMax = -1;
    series.GetMinMax(min, max, iMin, iMax);
    EXPECT_EQ(min, 1);
    EXPECT_EQ(iMin, 1.0);
    EXPECT_EQ(max, 5);
    EXPECT_EQ(iMax, 3.0);

    CDataArray empty(CDataArray::typeFloat);
    empty.GetMinMax(min, max, iMin, iMax);
    EXPECT_EQ(min, 1); // untouched
}

TEST(DataArrayOperations, DeepestMinimum)
{
    struct Case
    {
        std::vector<double> values;
        int index;
        double depth;
    } cases[] = {
        {{9, 8, 7, 8, 9, 9, 9, 2, 9, 9, 9}, 7, 7},
        {{9, 8, 7, 8, 9}, 2, 2},
        {{9, 7, 8, 9}, 0, 0},                       // shorter than 5
        {{5, 5, 5, 5, 5, 5}, 0, 0},                 // no minimum
        {{-1, -2, -9, -2, -1}, 2, 9},               // depth against 0 for negative rims
        {{6, 5, 3, 5, 6, 6, 5, 3, 5, 6}, 2, 3},     // the first of equal depths
    };
    for (const Case& c : cases) {
        CDataArray series(CDataArray::typeDouble);
        for (double v : c.values)
            series.AddDouble(v);
        double depth = -1;
        EXPECT_EQ(series.FindDeepestMinimum(depth), c.index);
        EXPECT_EQ(depth, c.depth);
    }
}

TEST(DataArrayOperations, ValleyExtent)
{
    const CDataArray series = MakeSeries(CDataArray::typeDouble, {5, 1, 4, 3, 2, 1, 0, 1, 2, 3, 4});
    int left = -1, right = -1;
    series.FindValleyExtent(2, left, right);
    // Rightwards the three-sample means fall from 4 to 1 (index 5), then rise.
    EXPECT_EQ(right, 5);
    // Leftwards index 1 is taken alone (1 < 4) and index 0 is never reached.
    EXPECT_EQ(left, 1);
}

// --- text export ------------------------------------------------------------------

TEST(DataArrayExport, WritesTheUsedValuesByType)
{
    struct Case
    {
        int type;
        std::vector<double> values;
        const char* text;
    } cases[] = {
        {CDataArray::typeShort, {-1, 7}, "0;65535\n1;7\n"},
        {CDataArray::typeLong, {-1, 7}, "0;-1\n1;7\n"},
        {CDataArray::typeDouble, {0.5, 1e-7}, "0;0.5\n1;1e-07\n"},
        {5, {}, ""},
    };
    const auto path = TempPath("export.txt");
    for (const Case& c : cases) {
        CDataArray series(c.type);
        for (double v : c.values)
            series.AddDouble(v);
        series.SetSize(10); // only the values written are exported
        series.WriteText(path.c_str(), ";");
        EXPECT_EQ(ReadText(path), c.text) << c.type;
    }
}

// --- archive ----------------------------------------------------------------------

namespace {

// The schema 6 record of a double ring series x0 2.5, dx 0.5, values 1, -2.
std::vector<BYTE> Schema6Doubles()
{
    return CSeriesBytes()
        .NewClass("CDataArray", 6)
        .Word(3)
        .Word(1)
        .Put(2.5)
        .Put(0.5)
        .Word(2)
        .Put(1.0)
        .Put(-2.0)
        .Bytes();
}

struct Loaded
{
    int type;
    BOOL ring;
    double x0;
    double dx;
    std::vector<double> values;
};

void ExpectLoaded(const CDataArray& series, const Loaded& want)
{
    EXPECT_EQ(series.GetValueType(), want.type);
    EXPECT_EQ(series.IsRing(), want.ring);
    EXPECT_EQ(series.GetX0(), want.x0);
    EXPECT_EQ(series.GetDX(), want.dx);
    EXPECT_EQ(Values(series), want.values);
    EXPECT_EQ(series.GetWritePos(), static_cast<int>(want.values.size()) - 1);
}

} // namespace

TEST(DataArrayArchive, StoresSchema6AndCutsToTheUsedCount)
{
    CDataArray series(CDataArray::typeDouble);
    series.SetSize(50);
    series.RewindWrite();
    series.AddDouble(1.0);
    series.AddDouble(-2.0);
    series.SetRing(TRUE);
    series.SetX0(2.5);
    series.SetDX(0.5);
    EXPECT_EQ(StoreBytes(series), Schema6Doubles());
    EXPECT_EQ(series.GetSize(), 2); // cut in memory too
}

TEST(DataArrayArchive, CurrentSchemaRoundTripsByteForByte)
{
    const std::vector<std::vector<BYTE>> records = {
        Schema6Doubles(),
        CSeriesBytes().NewClass("CDataArray", 6).Word(0).Word(0).Put(0.0).Put(1.0).Word(3)
            .Put<SHORT>(-1).Put<SHORT>(32767).Put<SHORT>(0).Bytes(),
        CSeriesBytes().NewClass("CDataArray", 6).Word(1).Word(0).Put(-1.0).Put(2.0).Word(1)
            .Put<LONG>(-70000).Bytes(),
        CSeriesBytes().NewClass("CDataArray", 6).Word(2).Word(5).Put(0.0).Put(1.0).Word(0).Bytes(),
    };
    for (const auto& bytes : records) {
        CDataArray series;
        LoadFrom(series, bytes);
        EXPECT_EQ(StoreBytes(series), bytes);
    }
}

TEST(DataArrayArchive, LoadsEveryOlderLayout)
{
    struct Case
    {
        const char* name;
        std::vector<BYTE> bytes;
        Loaded want;
    };
    const std::vector<Case> cases = {
        {"schema 6", Schema6Doubles(), {3, TRUE, 2.5, 0.5, {1, -2}}},
        {"schema 5",
         CSeriesBytes().NewClass("CDataArray", 5).Word(1).Word(40).Word(1).Put(3.0).Put(0.25)
             .Put(8.0).Put(9.0).Word(2).Put<LONG>(-4).Put<LONG>(100000).Bytes(),
         {1, TRUE, 3.0, 0.25, {-4, 100000}}},
        {"schema 4, old type 0",
         CSeriesBytes().NewClass("CDataArray", 4).Word(0).Word(7).Put(1.5).Put(2.0).Put(8.0)
             .Put(9.0).Word(3).Put<SHORT>(-3).Put<SHORT>(4).Put<SHORT>(5).Bytes(),
         {0, FALSE, 1.5, 2.0, {-3, 4, 5}}},
        {"schema 3, old type 1 is float",
         CSeriesBytes().NewClass("CDataArray", 3).Word(1).Word(0).Put(0.5f).Put(0.125f).Put(8.0f)
             .Put(9.0f).Word(2).Put(1.25f).Put(-0.5f).Bytes(),
         {2, FALSE, 0.5, 0.125, {1.25, -0.5}}},
        {"schema 2 skips the float between x0 and dx",
         CSeriesBytes().NewClass("CDataArray", 2).Word(0).Word(0).Put(4.0f).Put(99.0f).Put(2.0f)
             .Put(8.0f).Put(9.0f).Word(1).Put<SHORT>(12).Bytes(),
         {0, FALSE, 4.0, 2.0, {12}}},
        {"schema 1, type 4 reads as float",
         CSeriesBytes().NewClass("CDataArray", 1).Word(4).Word(0).Put(1.0f).Put(99.0f).Put(3.0f)
             .Word(1).Put(6.5f).Bytes(),
         {2, FALSE, 1.0, 3.0, {6.5}}},
        {"schema 7, type taken as is",
         CSeriesBytes().NewClass("CDataArray", 7).Word(3).Word(0).Put(1.0f).Put(99.0f).Put(3.0f)
             .Word(1).Put(6.5).Bytes(),
         {3, FALSE, 1.0, 3.0, {6.5}}},
        {"no class record: four bytes, then the schema 4 layout",
         CSeriesBytes().Word(5).Word(0).Word(1).Word(0).Put(-1.0).Put(0.5).Put(8.0).Put(9.0)
             .Word(2).Put(1.5f).Put(2.5f).Bytes(),
         {2, FALSE, -1.0, 0.5, {1.5, 2.5}}},
        {"no class record starting with a null tag",
         CSeriesBytes().Word(0).Word(0xABCD).Word(0).Word(0).Put(0.0).Put(1.0).Put(8.0).Put(9.0)
             .Word(1).Put<SHORT>(-8).Bytes(),
         {0, FALSE, 0.0, 1.0, {-8}}},
        {"old type 2 has no values",
         CSeriesBytes().NewClass("CDataArray", 4).Word(2).Word(3).Put(1.0).Put(2.0).Put(8.0)
             .Put(9.0).Bytes(),
         {4, FALSE, 1.0, 2.0, {}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDataArray series(CDataArray::typeLong);
        series.AddInt(77); // replaced, whatever the record held
        LoadFrom(series, c.bytes);
        ExpectLoaded(series, c.want);
    }
}

TEST(DataArrayArchive, OlderLayoutsKeepTheRingFlag)
{
    CDataArray series(CDataArray::typeShort);
    series.SetRing(TRUE);
    LoadFrom(series, CSeriesBytes().NewClass("CDataArray", 3).Word(0).Word(0).Put(0.0f).Put(1.0f)
                         .Put(0.0f).Put(0.0f).Word(0).Bytes());
    EXPECT_TRUE(series.IsRing());
}

TEST(DataArrayArchive, BadRecordsRaiseAndChangeNothing)
{
    struct Case
    {
        const char* name;
        std::vector<BYTE> bytes;
        int cause;
    };
    const std::vector<Case> cases = {
        {"count beyond the file",
         CSeriesBytes().NewClass("CDataArray", 6).Word(3).Word(0).Put(0.0).Put(1.0).Word(1000)
             .Put(1.0).Bytes(),
         CArchiveException::endOfFile},
        {"large count beyond the file",
         CSeriesBytes().NewClass("CDataArray", 6).Word(1).Word(0).Put(0.0).Put(1.0).Word(0xFFFF)
             .Put<DWORD>(0x40000000).Bytes(),
         CArchiveException::endOfFile},
        {"header cut short", CSeriesBytes().NewClass("CDataArray", 6).Word(3).Word(0).Put(0.0).Bytes(),
         CArchiveException::endOfFile},
        {"unknown class", CSeriesBytes().NewClass("CNoSuchSeries", 6).Word(3).Bytes(),
         CArchiveException::badClass},
        {"unrelated class", CSeriesBytes().NewClass("CBaseObj", 1).Word(3).Bytes(), CArchiveException::badClass},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDataArray series = MakeSeries(CDataArray::typeShort, {4, 5});
        series.SetX0(9.0);
        try {
            LoadFrom(series, c.bytes);
            ADD_FAILURE() << "no error";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, c.cause);
        }
        ExpectLoaded(series, {0, FALSE, 9.0, 1.0, {4, 5}});
    }
}

TEST(DataArrayArchive, ObjectsKeepTheirClassThroughTheArchive)
{
    CDataFilter filter(CDataArray::typeFloat);
    filter.AddDouble(1.5);
    filter.SetFilter(CDataFilter::filterMean, 3);
    CDataArray plain(CDataArray::typeLong);
    plain.AddInt(3);

    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << static_cast<CObject*>(&filter) << static_cast<CObject*>(&plain);
        ar.Close();
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    CDataArray* first = nullptr;
    CDataArray* second = nullptr;
    ar >> first >> second;
    std::unique_ptr<CDataArray> a(first), b(second);
    ASSERT_TRUE(a && b);
    ASSERT_TRUE(a->IsKindOf(RUNTIME_CLASS(CDataFilter)));
    EXPECT_EQ(a->m_ID, 9);
    EXPECT_EQ(static_cast<CDataFilter*>(a.get())->GetFilterKind(), CDataFilter::filterOff); // not stored
    EXPECT_EQ(a->GetAt(0), 1.5);
    EXPECT_EQ(b->GetRuntimeClass(), RUNTIME_CLASS(CDataArray));
    EXPECT_EQ(b->GetAt(0), 3);
}
