#include "objectmodel/datafilter.h"
#include "seriesbytes.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

CDataFilter MakeFilter(int type, std::initializer_list<double> values, WORD kind, SHORT width)
{
    CDataFilter filter(type);
    for (double v : values)
        filter.AddDouble(v);
    filter.SetFilter(kind, width);
    return filter;
}

} // namespace

TEST(DataFilter, NewFilterIsAPlainSeriesOfKind9)
{
    const CDataFilter filter(CDataArray::typeFloat);
    EXPECT_EQ(filter.m_ID, 9);
    EXPECT_EQ(filter.GetFilterKind(), CDataFilter::filterOff);
    EXPECT_EQ(filter.GetFilterWidth(), 1);
    EXPECT_EQ(filter.GetValueType(), CDataArray::typeFloat);
}

TEST(DataFilter, WidthOfOneOrLessReadsRawValuesForEveryKind)
{
    for (WORD kind = 0; kind <= 5; ++kind) {
        for (SHORT width : {1, 0, -3}) {
            const CDataFilter filter = MakeFilter(CDataArray::typeDouble, {3, 9, 1}, kind, width);
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(filter.GetAt(i), filter.CDataArray::GetAt(i)) << kind << " " << width << " " << i;
        }
    }
}

TEST(DataFilter, WindowedReads)
{
    struct Case
    {
        const char* name;
        int type;
        std::vector<double> values;
        WORD kind;
        SHORT width;
        int index;
        double expected;
    } cases[] = {
        {"mean, clamped at the start", CDataArray::typeDouble, {4, 8, 12}, 1, 3, 0,
         static_cast<double>(static_cast<float>(16.0 / 3.0))},
        {"mean of an even width takes five samples", CDataArray::typeDouble, {1, 2, 3, 4, 10}, 1, 4, 2, 4.0},
        {"median of an even width: the upper middle", CDataArray::typeFloat, {1, 9, 3, 7, 5}, 2, 4, 2, 7.0},
        {"median of doubles in single precision", CDataArray::typeDouble, {0.1, 0.1, 0.1}, 2, 3, 1,
         static_cast<double>(0.1f)},
        {"median of shorts on their own signed values", CDataArray::typeShort, {-5, 7, -1, 3}, 2, 3, 1, -1.0},
        {"median of shorts, next window", CDataArray::typeShort, {-5, 7, -1, 3}, 2, 3, 2, 3.0},
        {"median of longs keeps every digit", CDataArray::typeLong, {100000001, 5, 100000001}, 2, 3, 1,
         100000001.0},
        {"unknown kind", CDataArray::typeDouble, {1, 2, 3}, 5, 3, 1, 0.0},
    };
    for (const Case& c : cases) {
        CDataFilter filter(c.type);
        for (double v : c.values)
            filter.AddDouble(v);
        filter.SetFilter(c.kind, c.width);
        EXPECT_EQ(filter.GetAt(c.index), c.expected) << c.name;
    }
}

TEST(DataFilter, RegressionReturnsAStraightLineItselfAlsoAtTheEnds)
{
    for (WORD kind : {CDataFilter::filterRegression, CDataFilter::filterRegressionTrend}) {
        CDataFilter filter = MakeFilter(CDataArray::typeDouble, {0, 2, 4, 6}, kind, 3);
        filter.SetX0(10.0);
        filter.SetDX(0.5);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(filter.GetAt(i), 2.0 * i, 1e-9) << kind << " " << i;
    }
}

TEST(DataFilter, RegressionWithoutALineReadsTheWindowMean)
{
    // One value written: every window point has the same x.
    CDataFilter single = MakeFilter(CDataArray::typeDouble, {5}, CDataFilter::filterRegression, 3);
    single.SetX0(2.0);
    EXPECT_EQ(single.GetAt(0), 5.0);

    // A symmetric bump has no trend to steer the steep fit.
    const CDataFilter bump = MakeFilter(CDataArray::typeDouble, {0, 6, 0}, CDataFilter::filterRegression, 3);
    EXPECT_NEAR(bump.GetAt(1), 2.0, 1e-12);
}

TEST(DataFilter, WindowNeverReachesPastTheLastValueWritten)
{
    CDataFilter filter(CDataArray::typeDouble);
    filter.SetSize(10);
    filter.AddDouble(1);
    filter.AddDouble(2);
    filter.AddDouble(3);
    filter.SetFilter(CDataFilter::filterMean, 3);
    EXPECT_EQ(filter.GetAt(6), 3.0);
    EXPECT_EQ(filter.GetAt(2), static_cast<double>(static_cast<float>(8.0 / 3.0)));
}

TEST(DataFilter, QueriesAssignmentAndAxisEnds)
{
    EXPECT_TRUE(MakeFilter(CDataArray::typeDouble, {1}, CDataFilter::filterRegressionTrend, 3).IsFiltered());
    EXPECT_TRUE(MakeFilter(CDataArray::typeDouble, {1}, CDataFilter::filterRegressionTrend, 3).IsFilterShown());
    EXPECT_FALSE(MakeFilter(CDataArray::typeDouble, {1}, CDataFilter::filterRegressionTrend, 1).IsFiltered());
    EXPECT_FALSE(MakeFilter(CDataArray::typeDouble, {1}, CDataFilter::filterRegression, 3).IsFiltered());
    EXPECT_FALSE(CDataArray(CDataArray::typeDouble).IsFiltered());

    CDataFilter source = MakeFilter(CDataArray::typeFloat, {1, 2, 3, 4}, CDataFilter::filterMedian, 3);
    source.SetX0(1.0);
    source.SetDX(2.0);
    EXPECT_EQ(source.GetFirstX(), 1.0);
    EXPECT_EQ(source.GetLastX(), 7.0);

    CDataFilter copy(CDataArray::typeShort);
    copy.m_ID = 1;
    copy.AssignFilter(source);
    EXPECT_EQ(copy.m_ID, 9);
    EXPECT_EQ(copy.GetFilterKind(), CDataFilter::filterMedian);
    EXPECT_EQ(copy.GetFilterWidth(), 3);
    EXPECT_EQ(copy.GetAt(0), source.GetAt(0));
    EXPECT_EQ(copy.GetLastX(), 7.0);
}

TEST(DataFilter, StoredAsAPlainSeriesUnderItsOwnNameWithoutTheFilter)
{
    CDataFilter filter = MakeFilter(CDataArray::typeShort, {3, -4}, CDataFilter::filterMean, 3);
    const std::vector<BYTE> expected = CSeriesBytes()
                                           .NewClass("CDataFilter", 6)
                                           .Word(0)
                                           .Word(0)
                                           .Put(0.0)
                                           .Put(1.0)
                                           .Word(2)
                                           .Put<SHORT>(3)
                                           .Put<SHORT>(-4)
                                           .Bytes();
    EXPECT_EQ(StoreBytes(filter), expected);

    CDataFilter loaded(CDataArray::typeDouble);
    LoadFrom(loaded, expected);
    EXPECT_EQ(loaded.GetValueType(), CDataArray::typeShort);
    EXPECT_EQ(loaded.GetFilterKind(), CDataFilter::filterOff);
    EXPECT_EQ(loaded.GetAt(1), -4.0);
    EXPECT_EQ(StoreBytes(loaded), expected);

    // A plain series record is no filter.
    CDataFilter other(CDataArray::typeShort);
    EXPECT_THROW(LoadFrom(other, CSeriesBytes().NewClass("CDataArray", 6).Word(0).Word(0).Put(0.0)
                                     .Put(1.0).Word(0).Bytes()),
                 CArchiveException);
}

TEST(DataFilter, AnalysesSeeTheFilteredCurve)
{
    // A histogram with a notch that only the smoothed curve shows as one valley.
    CDataFilter histogram(CDataArray::typeLong);
    for (int v : {50, 50, 50, 48, 52, 10, 12, 8, 50, 52, 48, 50, 50})
        histogram.AddInt(v);
    histogram.SetFilter(CDataFilter::filterMean, 3);
    double depth = 0.0;
    EXPECT_EQ(histogram.FindDeepestMinimum(depth), 6);
    EXPECT_NEAR(depth, 110.0 / 3.0 - 10.0, 1e-4);
    histogram.SetFilter(CDataFilter::filterOff, 1);
    EXPECT_EQ(histogram.FindDeepestMinimum(depth), 7);
}
